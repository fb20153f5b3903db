// The application's home folder (Documents, Library/Caches, tmp) and its read-only bundle, plus
// small file helpers. Files the client writes go through writeAtomic: temp file, fsync, rename,
// mode 0600.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using Path = std::filesystem::path;

class Sandbox {
 public:
  // Chooses the home folder (created when missing). Tests get a fresh temporary folder per reset.
  static void init(const Path& root);
  static Path root();
  static Path documents();
  static Path caches();   // Library/Caches
  static Path tmp();
  // The bundle's resources folder (read-only): NVX_RESOURCES in the environment, else the
  // project's resources folder known at build time.
  static Path bundle();
  static void setBundle(const Path& p);
  // Makes a new empty temporary folder under the system's temp dir (tests, simulator).
  static Path makeTempRoot(std::string_view prefix);
};

namespace fs {
std::optional<std::string> read(const Path& p);
// temp file in the same folder, fsync, rename; mode 0600; missing parents are made.
bool writeAtomic(const Path& p, std::string_view bytes);
bool append(const Path& p, std::string_view bytes);
bool exists(const Path& p);
bool isDirectory(const Path& p);
// Names relative to dir (deep: every file and folder below, with sub-paths), sorted.
std::vector<std::string> list(const Path& dir, bool deep = false);
bool copyEntry(const Path& from, const Path& to);
bool removeTree(const Path& p);
bool mkdirs(const Path& p);
std::optional<uintmax_t> size(const Path& p);
}  // namespace fs

}  // namespace platform
