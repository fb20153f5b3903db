#include "platform/foundation/Bundle.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace platform {

namespace {

constexpr const char* kInfoFile = "Info.json";
constexpr int kMaxDimension = 1 << 20;   // no bundle picture is a million pixels wide

bool acceptableName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

uint32_t bigEndian32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
unsigned bigEndian16(const unsigned char* p) { return (unsigned(p[0]) << 8) | unsigned(p[1]); }

std::optional<PixelSize> checked(uint32_t w, uint32_t h) {
  if (w == 0 || h == 0 || w > uint32_t(kMaxDimension) || h > uint32_t(kMaxDimension)) return std::nullopt;
  return PixelSize{int(w), int(h)};
}

// PNG: the signature, then the IHDR chunk (length 13) with width and height.
std::optional<PixelSize> pngSize(const unsigned char* p, size_t n) {
  static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (n < 24 || std::memcmp(p, kSignature, 8) != 0) return std::nullopt;
  if (bigEndian32(p + 8) != 13 || std::memcmp(p + 12, "IHDR", 4) != 0) return std::nullopt;
  return checked(bigEndian32(p + 16), bigEndian32(p + 20));
}

// JPEG: walk the marker segments from SOI to the first start-of-frame, which holds the size.
std::optional<PixelSize> jpegSize(const unsigned char* p, size_t n) {
  if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return std::nullopt;
  size_t i = 2;
  while (i + 1 < n) {
    if (p[i] != 0xFF) return std::nullopt;
    while (i < n && p[i] == 0xFF) ++i;   // fill bytes
    if (i >= n) return std::nullopt;
    unsigned char marker = p[i++];
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;   // end of image or scan: no frame
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;   // no length
    if (i + 2 > n) return std::nullopt;
    unsigned length = bigEndian16(p + i);
    if (length < 2 || i + length > n) return std::nullopt;
    bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                        marker != 0xCC;
    if (startOfFrame) {
      if (length < 7) return std::nullopt;
      return checked(bigEndian16(p + i + 5), bigEndian16(p + i + 3));
    }
    i += length;
  }
  return std::nullopt;
}

}  // namespace

Bundle& Bundle::main() { return Process::current().shared<Bundle>(); }

std::optional<Path> Bundle::resource(std::string_view name, std::string_view type) const {
  if (!type.empty() && type.front() == '.') type.remove_prefix(1);
  std::string file(name);
  if (!type.empty()) file += "." + std::string(type);
  if (!acceptableName(name) || !acceptableName(file)) return std::nullopt;

  std::error_code ec;
  Path base = root();
  Path direct = base / file;
  if (std::filesystem::is_regular_file(direct, ec)) return direct;

  std::vector<Path> folders;
  for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) folders.push_back(it->path());
  }
  std::sort(folders.begin(), folders.end());
  for (const Path& folder : folders) {
    Path candidate = folder / file;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

std::optional<std::string> Bundle::info(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  Path bundle = root();
  if (!info_ || infoRoot_ != bundle) {
    infoRoot_ = bundle;
    Path file = bundle / kInfoFile;
    auto bytes = fs::read(file);
    auto parsed = bytes ? json::parse(*bytes) : std::nullopt;
    if (!parsed || !parsed->is_object()) {
      log::warning("Bundle", "no readable info file at " + file.string());
      parsed = Json::object();
    }
    info_ = std::move(*parsed);
  }
  const Json* value = json::member(*info_, key);
  return value ? json::asText(*value) : std::nullopt;
}

std::optional<PictureInfo> Bundle::picture(std::string_view name, double screenScale) const {
  if (name.empty()) return std::nullopt;
  std::string base(name);
  std::string ext = "png";
  size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    ext = base.substr(dot + 1);
    base.erase(dot);
  }

  std::vector<std::pair<std::string, double>> candidates;
  if (base.size() > 3 && base.ends_with("@2x")) {
    candidates.push_back({base + "." + ext, 2.0});
  } else if (screenScale >= 2.0) {
    candidates.push_back({base + "@2x." + ext, 2.0});
    candidates.push_back({base + "." + ext, 1.0});
  } else {
    candidates.push_back({base + "." + ext, 1.0});
    candidates.push_back({base + "@2x." + ext, 2.0});
  }

  for (const auto& [file, scale] : candidates) {
    auto path = resource(file, "");
    if (!path) continue;
    auto size = fileSize(*path);
    if (!size) {
      log::warning("Bundle", "not a PNG or JPEG picture: " + path->string());
      continue;
    }
    return PictureInfo{*path, size->width, size->height, scale};
  }
  return std::nullopt;
}

std::optional<PixelSize> Bundle::fileSize(const Path& p) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sizes_.find(p);
  if (it != sizes_.end()) return it->second;
  auto bytes = fs::read(p);
  std::optional<PixelSize> size = bytes ? pixelSize(*bytes) : std::nullopt;
  sizes_.emplace(p, size);
  return size;
}

std::optional<PixelSize> Bundle::pixelSize(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (auto png = pngSize(p, bytes.size())) return png;
  return jpegSize(p, bytes.size());
}

}  // namespace platform
