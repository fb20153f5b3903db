#include "platform/ui/Image.h"

#include <csetjmp>
#include <cmath>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include "platform/device/Device.h"
#include "platform/foundation/Bundle.h"

namespace platform::ui {
namespace {

struct PixelDims {
  int width = 0;
  int height = 0;
};

std::optional<PixelDims> pngHeader(const unsigned char* data, size_t size) {
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return std::nullopt;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    png_image_free(&image);
    return std::nullopt;
  }
  PixelDims dims{static_cast<int>(image.width), static_cast<int>(image.height)};
  png_image_free(&image);
  if (dims.width <= 0 || dims.height <= 0) return std::nullopt;
  return dims;
}

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr) {}

// Only plain C objects live in this frame: libjpeg reports errors by longjmp.
bool jpegHeaderC(const unsigned char* data, size_t size, int* width, int* height) {
  jpeg_decompress_struct info;
  JpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpegFail;
  err.mgr.output_message = jpegQuiet;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
  if (ok) {
    *width = static_cast<int>(info.image_width);
    *height = static_cast<int>(info.image_height);
  }
  jpeg_destroy_decompress(&info);
  return ok;
}

std::optional<PixelDims> jpegHeader(const unsigned char* data, size_t size) {
  if (size < 3 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  int w = 0;
  int h = 0;
  if (!jpegHeaderC(data, size, &w, &h) || w <= 0 || h <= 0) return std::nullopt;
  return PixelDims{w, h};
}

}  // namespace

std::optional<Image> Image::named(std::string_view name) {
  if (name.empty()) return std::nullopt;
  auto info = Bundle::main().picture(name, Device::screen().scale);
  if (!info || info->pixelWidth <= 0 || info->pixelHeight <= 0 || info->scale <= 0) return std::nullopt;
  Image image;
  image.name = std::string(name);
  image.scale = info->scale;
  image.size = Size{info->width(), info->height()};
  return image;
}

std::optional<Image> Image::fromBytes(std::string_view bytes, double scale) {
  if (scale <= 0) return std::nullopt;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  auto dims = pngHeader(data, bytes.size());
  if (!dims) dims = jpegHeader(data, bytes.size());
  if (!dims) return std::nullopt;
  Image image;
  image.scale = scale;
  image.size = Size{dims->width / scale, dims->height / scale};
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
