// The application bundle: the read-only resources folder (Sandbox::bundle()), its info keys
// (Info.json) and the files of its named pictures.
#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"

namespace platform {

// A picture file of the bundle and the scale it is drawn at (2 for a "@2x" file): its size in
// points is its pixel size divided by the scale. The bundle does not read the pictures; the
// picture decoder gives their pixel sizes.
struct PictureInfo {
  Path path;
  double scale = 1.0;
  bool operator==(const PictureInfo&) const = default;
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

  // The files a named picture may be loaded from, those that exist, in the order the screen of
  // the given scale prefers them: for "x.png" (or "x", read as PNG) a scale-2 screen prefers
  // "x@2x.png" and falls back to "x.png"; a scale-1 screen the other way round. A name that
  // already ends in "@2x" is that file at scale 2. The loader takes the first it can read.
  std::vector<PictureInfo> pictureFiles(std::string_view name, double screenScale = 2.0) const;
  // The first of them: whether the bundle has a picture of that name, and where.
  std::optional<PictureInfo> picture(std::string_view name, double screenScale = 2.0) const;

 private:
  friend class Process;
  Bundle() = default;

  mutable std::mutex mutex_;
  mutable std::optional<Json> info_;
  mutable Path infoRoot_;   // the bundle folder info_ was read from
};

}  // namespace platform
