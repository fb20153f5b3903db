#include "platform/foundation/Bundle.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace platform {

namespace {

constexpr const char* kInfoFile = "Info.json";

bool acceptableName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
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

std::vector<PictureInfo> Bundle::pictureFiles(std::string_view name, double screenScale) const {
  if (name.empty()) return {};
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

  std::vector<PictureInfo> files;
  for (const auto& [file, scale] : candidates) {
    if (auto path = resource(file, "")) files.push_back(PictureInfo{*path, scale});
  }
  return files;
}

std::optional<PictureInfo> Bundle::picture(std::string_view name, double screenScale) const {
  auto files = pictureFiles(name, screenScale);
  if (files.empty()) return std::nullopt;
  return files.front();
}

}  // namespace platform
