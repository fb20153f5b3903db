#include "platform/ui/Image.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "platform/device/Device.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/media/PictureDecoder.h"

namespace platform::ui {
namespace {

// The pixel sizes of the bundle's picture files read so far (nothing for a file that is not a
// picture): the bundle does not change while the client runs.
struct BundlePictureSizes {
  std::mutex mutex;
  std::map<Path, std::optional<media::PictureSize>> sizes;

  std::optional<media::PictureSize> of(const Path& file) {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = sizes.find(file);
    if (it != sizes.end()) return it->second;
    auto bytes = fs::read(file);
    auto size = bytes ? media::PictureDecoder::size(*bytes) : std::nullopt;
    sizes.emplace(file, size);
    return size;
  }
};

}  // namespace

std::optional<Image> Image::named(std::string_view name) {
  if (name.empty()) return std::nullopt;
  auto& sizes = Process::current().shared<BundlePictureSizes>();
  for (const PictureInfo& file : Bundle::main().pictureFiles(name, Device::screen().scale)) {
    auto pixels = sizes.of(file.path);
    if (!pixels) {
      log::warning("Image", "not a PNG or JPEG picture: " + file.path.string());
      continue;   // a broken "@2x" file gives way to the plain one
    }
    Image image;
    image.name = std::string(name);
    image.scale = file.scale;
    image.size = Size{pixels->width / file.scale, pixels->height / file.scale};
    return image;
  }
  return std::nullopt;
}

std::optional<Image> Image::fromBytes(std::string_view bytes, double scale) {
  if (scale <= 0) return std::nullopt;
  auto pixels = media::PictureDecoder::size(bytes);
  if (!pixels) return std::nullopt;
  Image image;
  image.scale = scale;
  image.size = Size{pixels->width / scale, pixels->height / scale};
  return image;
}

std::optional<Image> Image::withPixels(int pixelWidth, int pixelHeight, std::vector<uint8_t> rgba, double scale) {
  if (pixelWidth <= 0 || pixelHeight <= 0 || scale <= 0) return std::nullopt;
  if (rgba.size() != static_cast<size_t>(pixelWidth) * static_cast<size_t>(pixelHeight) * 4) return std::nullopt;
  Image image;
  image.scale = scale;
  image.size = Size{pixelWidth / scale, pixelHeight / scale};
  image.pixels = std::make_shared<const std::vector<uint8_t>>(std::move(rgba));
  return image;
}

int Image::pixelWidth() const { return static_cast<int>(std::lround(size.width * scale)); }
int Image::pixelHeight() const { return static_cast<int>(std::lround(size.height * scale)); }

Image Image::resizable(EdgeInsets caps) const {
  Image out = *this;
  out.capInsets = caps;
  return out;
}

Image Image::stretchable(double leftCap, double topCap) const {
  EdgeInsets caps;
  caps.left = leftCap;
  caps.top = topCap;
  caps.right = leftCap > 0 ? std::max(0.0, size.width - leftCap - 1) : 0;
  caps.bottom = topCap > 0 ? std::max(0.0, size.height - topCap - 1) : 0;
  return resizable(caps);
}

}  // namespace platform::ui
