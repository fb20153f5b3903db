// The application bundle: the read-only resources folder (Sandbox::bundle()), its info keys
// (Info.json) and its pictures with their sizes.
#pragma once
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"

namespace platform {

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

// A picture file of the bundle. Its size in points is the pixel size divided by the scale
// (2 for a "@2x" file).
struct PictureInfo {
  Path path;
  int pixelWidth = 0;
  int pixelHeight = 0;
  double scale = 1.0;
  double width() const { return pixelWidth / scale; }
  double height() const { return pixelHeight / scale; }
};

class Bundle {
 public:
  static Bundle& main();

  Path root() const { return Sandbox::bundle(); }
  // The file "name.type" (or "name" when type is empty) in the resources folder or, failing
  // that, in one of its direct sub-folders (in name order). Names with path separators are refused.
  std::optional<Path> resource(std::string_view name, std::string_view type) const;
  // An info key of Info.json ("CFBundleShortVersionString", "CFBundleVersion", ...).
  std::optional<std::string> info(std::string_view key) const;

  // A named picture as the screen of the given scale loads it: "x.png" (or "x", read as PNG) on
  // a scale-2 screen prefers "x@2x.png" and falls back to "x.png"; a scale-1 screen the other way
  // round. A name that already ends in "@2x" is that file at scale 2.
  std::optional<PictureInfo> picture(std::string_view name, double screenScale = 2.0) const;

  // Pixel size from the header of PNG or JPEG bytes; nothing for anything else.
  static std::optional<PixelSize> pixelSize(std::string_view bytes);

 private:
  friend class Process;
  Bundle() = default;
  std::optional<PixelSize> fileSize(const Path& p) const;

  mutable std::mutex mutex_;
  mutable std::optional<Json> info_;
  mutable Path infoRoot_;   // the bundle folder info_ was read from
  mutable std::map<Path, std::optional<PixelSize>> sizes_;
};

}  // namespace platform
