#include "core/session/IOUtil.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <set>
#include <system_error>

#include "platform/foundation/Log.h"

namespace nvx {

namespace stdfs = std::filesystem;

namespace {

constexpr std::string_view kTag = "IOUtil";

// ------------------------------------------------------------------------------------------------
// Folders

// Every entry directly in dir, files of writers still at work included.
std::vector<platform::Path> entriesOf(const platform::Path& dir) {
  std::vector<platform::Path> entries;
  std::error_code ec;
  for (auto it = stdfs::directory_iterator(dir, ec); !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
    entries.push_back(it->path());
  }
  return entries;
}

// ------------------------------------------------------------------------------------------------
// Unpacking

// Host systems whose "version made by" carries Unix mode bits in the upper half of the external
// attributes (Unix and macOS).
constexpr unsigned kHostUnix = 3;
constexpr unsigned kHostMac = 19;

constexpr uLong kMethodStored = 0;
constexpr uLong kMethodDeflated = Z_DEFLATED;
constexpr uLong kFlagEncrypted = 1;

constexpr size_t kMaxNameBytes = 4096;
constexpr size_t kMaxComponentBytes = 255;

// One entry of the archive that passed the checks.
struct Entry {
  unz64_file_pos position{};
  std::string name;          // as stored, for messages
  std::vector<std::string> components;  // the safe relative path
  bool directory = false;
  uint64_t size = 0;         // declared unpacked size
  std::string relative() const {
    std::string path;
    for (const auto& c : components) {
      if (!path.empty()) path += '/';
      path += c;
    }
    return path;
  }
};

// Closes the archive on every way out.
struct ArchiveHandle {
  unzFile file = nullptr;
  ~ArchiveHandle() {
    if (file) unzClose(file);
  }
};

platform::Status refuse(const std::string& entry, std::string_view why) {
  return platform::Status::error("refused entry \"" + entry + "\": " + std::string(why));
}

// The safe relative path of an entry name, or the reason the name is refused.
platform::Result<std::vector<std::string>> safeComponents(const std::string& name) {
  if (name.empty()) return platform::Status::error("empty name");
  if (name.size() > kMaxNameBytes) return platform::Status::error("name too long");
  if (name.find('\0') != std::string::npos) return platform::Status::error("name holds a NUL byte");
  if (name.find('\\') != std::string::npos) return platform::Status::error("backslash in the name");
  if (name.front() == '/') return platform::Status::error("absolute path");
  std::vector<std::string> components;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") return platform::Status::error("\"..\" in the path");
    if (part.size() > kMaxComponentBytes) return platform::Status::error("path component too long");
    if (components.empty() && part.size() == 2 && part[1] == ':') return platform::Status::error("drive-letter path");
    components.push_back(std::move(part));
  }
  return components;
}

// size > packed x ratio, without overflow.
bool exceedsRatio(uint64_t size, uint64_t packed, uint64_t ratio) {
  if (packed == 0) return true;
  if (ratio != 0 && packed > UINT64_MAX / ratio) return false;
  return size > packed * ratio;
}

// What lies at a path in the destination now.
enum class Found { Nothing, Folder, File, Other };

Found lookAt(const platform::Path& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return Found::Nothing;
  if (S_ISDIR(st.st_mode)) return Found::Folder;
  if (S_ISREG(st.st_mode)) return Found::File;
  return Found::Other;  // a link, a device, a pipe
}

// Reads the central directory and checks every entry; nothing is written.
platform::Result<std::vector<Entry>> checkArchive(unzFile zip, const platform::Path& destDir,
                                                  const IOUtil::UnzipLimits& limits) {
  std::vector<Entry> entries;
  uint64_t total = 0;
  int rc = unzGoToFirstFile(zip);
  if (rc == UNZ_END_OF_LIST_OF_FILE) return entries;
  if (rc != UNZ_OK) return platform::Status::error("unreadable archive directory");
  uint64_t seen = 0;
  for (; rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    if (++seen > limits.maxEntries) return platform::Status::error("too many entries");
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
      return platform::Status::error("unreadable entry");
    }
    if (info.size_filename > kMaxNameBytes) return platform::Status::error("entry name too long");
    std::string name(info.size_filename, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      return platform::Status::error("unreadable entry");
    }

    Entry entry;
    entry.name = name;
    auto components = safeComponents(name);
    if (!components) return refuse(name, components.error());

    const unsigned host = static_cast<unsigned>(info.version >> 8) & 0xffu;
    const unsigned mode = static_cast<unsigned>(info.external_fa >> 16) & 0xffffu;
    const unsigned type = mode & S_IFMT;
    bool directory = !name.empty() && name.back() == '/';
    if ((host == kHostUnix || host == kHostMac) && type != 0) {
      if (type == S_IFDIR) {
        directory = true;
      } else if (type != S_IFREG) {
        return refuse(name, type == S_IFLNK ? "symbolic link" : "special file");
      }
    }
    if (components->empty()) {
      if (!directory) return refuse(name, "no file name");
      continue;  // "./": the destination itself
    }
    if (info.flag & kFlagEncrypted) return refuse(name, "encrypted");
    if (!directory && info.compression_method != kMethodStored && info.compression_method != kMethodDeflated) {
      return refuse(name, "unsupported compression method");
    }

    const uint64_t size = directory ? 0 : info.uncompressed_size;
    if (size > limits.maxEntryBytes) return refuse(name, "entry larger than the limit");
    total += size;
    if (total > limits.maxTotalBytes) return refuse(name, "archive larger than the limit");
    if (size > limits.ratioFloorBytes && exceedsRatio(size, info.compressed_size, limits.maxRatio)) {
      return refuse(name, "expansion ratio too high");
    }

    entry.components = std::move(*components);
    entry.directory = directory;
    entry.size = size;
    if (unzGetFilePos64(zip, &entry.position) != UNZ_OK) return platform::Status::error("unreadable entry");
    entries.push_back(std::move(entry));
  }
  if (rc != UNZ_END_OF_LIST_OF_FILE) return platform::Status::error("unreadable archive directory");

  // Within the archive: no path is both a file and a folder.
  std::set<std::string> files;
  std::set<std::string> folders;
  for (const auto& e : entries) {
    std::string path;
    for (size_t i = 0; i < e.components.size(); ++i) {
      if (!path.empty()) path += '/';
      path += e.components[i];
      const bool last = i + 1 == e.components.size();
      if (last && !e.directory) {
        files.insert(path);
      } else {
        folders.insert(path);
      }
    }
  }
  for (const auto& f : files) {
    if (folders.count(f)) return refuse(f, "both a file and a folder in the archive");
  }

  // Against the destination as it stands: folders on the way must be real folders (never links
  // that lead elsewhere), and a file must not replace a folder.
  for (const auto& e : entries) {
    platform::Path at = destDir;
    for (size_t i = 0; i < e.components.size(); ++i) {
      at /= e.components[i];
      const bool last = i + 1 == e.components.size();
      Found found = lookAt(at);
      if (found == Found::Nothing) break;
      if (!last || e.directory) {
        if (found != Found::Folder) return refuse(e.name, "the destination holds a non-folder on its path");
      } else if (found == Found::Folder) {
        return refuse(e.name, "the destination holds a folder of that name");
      }
    }
  }
  return entries;
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Unpacks one checked file entry to path (a fresh file in the staging folder).
platform::Status extractEntry(unzFile zip, const Entry& entry, const platform::Path& path) {
  unz64_file_pos position = entry.position;
  if (unzGoToFilePos64(zip, &position) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK) {
    return platform::Status::error("cannot read entry \"" + entry.name + "\"");
  }
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    unzCloseCurrentFile(zip);
    return platform::Status::error("cannot write entry \"" + entry.name + "\"");
  }
  std::vector<char> buffer(64 * 1024);
  uint64_t written = 0;
  bool ok = true;
  for (;;) {
    int n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (n == 0) break;
    if (n < 0) {
      ok = false;
      break;
    }
    written += static_cast<uint64_t>(n);
    if (written > entry.size || !writeAll(fd, buffer.data(), static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  // The checksum is verified when the whole entry has been read.
  ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
  if (!ok || written != entry.size) return platform::Status::error("damaged entry \"" + entry.name + "\"");
  return platform::Status::success();
}

// A new hidden staging folder inside dir.
platform::Path makeStaging(const platform::Path& dir) {
  std::string pattern = (dir / ".nvx-unzip-XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) return {};
  return platform::Path(buf.data());
}

}  // namespace

int IOUtil::filesCountOfDir(const platform::Path& dir) { return static_cast<int>(platform::fs::list(dir).size()); }

std::vector<std::string> IOUtil::subFileNamesOfDir(const platform::Path& dir, bool inDeep) {
  return platform::fs::list(dir, inDeep);
}

bool IOUtil::copyFilesFromDir(const platform::Path& from, const platform::Path& to) {
  const auto names = platform::fs::list(from);
  for (const auto& name : names) (void)platform::fs::copyEntry(from / name, to / name);
  return platform::fs::list(to).size() == names.size();
}

void IOUtil::removeDir(const platform::Path& path) { (void)platform::fs::removeTree(path); }

bool IOUtil::clearDir(const platform::Path& dir) {
  for (const auto& entry : entriesOf(dir)) (void)platform::fs::removeTree(entry);
  return entriesOf(dir).empty();
}

bool IOUtil::unzip(const platform::Path& archive, const platform::Path& destDir) {
  platform::Status status = unzipWithLimits(archive, destDir, UnzipLimits{});
  if (!status) platform::log::warning(kTag, "unzip " + archive.filename().string() + ": " + status.message());
  return status.isOk();
}

platform::Status IOUtil::unzipWithLimits(const platform::Path& archive, const platform::Path& destDir,
                                         const UnzipLimits& limits) {
  if (platform::fs::isDirectory(archive)) return platform::Status::error("not an archive");
  ArchiveHandle zip{unzOpen64(archive.c_str())};
  if (!zip.file) return platform::Status::error("cannot open the archive");

  auto checked = checkArchive(zip.file, destDir, limits);
  if (!checked) return platform::Status::error(checked.error());
  const std::vector<Entry>& entries = *checked;

  const bool destExisted = platform::fs::isDirectory(destDir);
  if (!destExisted && !platform::fs::mkdirs(destDir)) return platform::Status::error("cannot make the destination");
  auto giveUp = [&](const platform::Path& staging, platform::Status why) {
    if (!staging.empty()) (void)platform::fs::removeTree(staging);
    if (!destExisted) {
      std::error_code ec;
      stdfs::remove(destDir, ec);  // only when still empty
    }
    return why;
  };

  // Every entry is unpacked into the staging folder first, folders included (a path the file
  // system refuses, such as one too long, is refused there); a damaged entry stops everything
  // before the destination changes.
  platform::Path staging = makeStaging(destDir);
  if (staging.empty()) return giveUp({}, platform::Status::error("cannot make a staging folder"));
  for (const auto& entry : entries) {
    platform::Path target = staging / entry.relative();
    if (!platform::fs::mkdirs(entry.directory ? target : target.parent_path())) {
      return giveUp(staging, platform::Status::error("cannot write entry \"" + entry.name + "\""));
    }
    if (entry.directory) continue;
    if (platform::Status s = extractEntry(zip.file, entry, target); !s) return giveUp(staging, s);
  }

  // Into place: folders made, files renamed over any older file of the same name.
  platform::Status result = platform::Status::success();
  for (const auto& entry : entries) {
    platform::Path target = destDir / entry.relative();
    if (entry.directory) {
      if (!platform::fs::mkdirs(target)) result = platform::Status::error("cannot make folder \"" + entry.name + "\"");
      continue;
    }
    platform::Path source = staging / entry.relative();
    if (!platform::fs::exists(source)) continue;  // a later entry of the same name took it already
    if (!platform::fs::mkdirs(target.parent_path()) || ::rename(source.c_str(), target.c_str()) != 0) {
      result = platform::Status::error("cannot place entry \"" + entry.name + "\"");
    }
  }
  (void)platform::fs::removeTree(staging);
  return result;
}

}  // namespace nvx
