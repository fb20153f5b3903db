#include "platform/foundation/Sandbox.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>

#include "platform/foundation/Log.h"

#ifndef NVX_SOURCE_RESOURCES
#define NVX_SOURCE_RESOURCES ""
#endif

namespace platform {

namespace stdfs = std::filesystem;

namespace {

// The process's home folder and bundle override (set by the product's main or the test main).
std::mutex gMutex;
Path gRoot;
Path gBundle;

std::atomic<uint64_t> gTempCounter{0};

// Temp files of writeAtomic: ".<name>.nvxtmp-<pid>-<n>" beside the target.
constexpr std::string_view kTempMark = ".nvxtmp-";

bool isTempName(const std::string& name) {
  return !name.empty() && name[0] == '.' && name.find(kTempMark) != std::string::npos;
}

Path rootLocked() {
  if (gRoot.empty()) {
    // Nobody chose a home folder: use a fresh temporary one rather than the working directory.
    gRoot = Sandbox::makeTempRoot("nvx-home-");
    log::warning("Sandbox", "no home folder chosen; using " + gRoot.string());
    for (auto* sub : {"Documents", "Library/Caches", "tmp"}) fs::mkdirs(gRoot / sub);
  }
  return gRoot;
}

bool writeAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

bool fsyncDir(const Path& dir) {
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync folders
  ::close(fd);
  return ok;
}

// Removes temp files of earlier writers of the same target that died mid-write.
void removeStaleTemps(const Path& dir, const std::string& name) {
  std::string prefix = "." + name + std::string(kTempMark);
  std::error_code ec;
  for (auto it = stdfs::directory_iterator(dir, ec); !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (entry.rfind(prefix, 0) != 0) continue;
    std::string rest = entry.substr(prefix.size());
    auto dash = rest.find('-');
    if (dash == std::string::npos) continue;
    pid_t pid = static_cast<pid_t>(std::strtol(rest.substr(0, dash).c_str(), nullptr, 10));
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // the writer may still be at work
    std::error_code rc;
    stdfs::remove(it->path(), rc);
  }
}

}  // namespace

void Sandbox::init(const Path& root) {
  std::lock_guard<std::mutex> lock(gMutex);
  gRoot = root;
  for (auto* sub : {"Documents", "Library/Caches", "tmp"}) {
    if (!fs::mkdirs(root / sub)) log::error("Sandbox", "cannot make " + (root / sub).string());
  }
}

Path Sandbox::root() {
  std::lock_guard<std::mutex> lock(gMutex);
  return rootLocked();
}

Path Sandbox::documents() { return root() / "Documents"; }
Path Sandbox::caches() { return root() / "Library" / "Caches"; }
Path Sandbox::tmp() { return root() / "tmp"; }

Path Sandbox::bundle() {
  if (const char* env = std::getenv("NVX_RESOURCES"); env && *env) return Path(env);
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gBundle.empty()) return gBundle;
  }
  return Path(NVX_SOURCE_RESOURCES);
}

void Sandbox::setBundle(const Path& p) {
  std::lock_guard<std::mutex> lock(gMutex);
  gBundle = p;
}

Path Sandbox::makeTempRoot(std::string_view prefix) {
  std::error_code ec;
  Path base = stdfs::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / (std::string(prefix) + "XXXXXX")).string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) {
    log::error("Sandbox", "cannot make a temporary folder under " + base.string());
    return {};
  }
  return Path(buf.data());
}

namespace fs {

std::optional<std::string> read(const Path& p) {
  std::error_code ec;
  if (stdfs::is_directory(p, ec)) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(out).str();
}

bool writeAtomic(const Path& p, std::string_view bytes) {
  if (p.filename().empty()) return false;
  Path dir = p.parent_path();
  if (!dir.empty() && !mkdirs(dir)) return false;
  std::string name = p.filename().string();
  removeStaleTemps(dir.empty() ? Path(".") : dir, name);

  std::string tmpName = "." + name + std::string(kTempMark) + std::to_string(::getpid()) + "-" +
                        std::to_string(gTempCounter.fetch_add(1));
  Path tmp = dir / tmpName;
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    log::warning("fs", "cannot write " + p.string());
    return false;
  }
  bool ok = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(tmp.c_str(), p.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    log::warning("fs", "cannot write " + p.string());
    return false;
  }
  fsyncDir(dir);
  return true;
}

bool append(const Path& p, std::string_view bytes) {
  Path dir = p.parent_path();
  if (!dir.empty() && !mkdirs(dir)) return false;
  int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = writeAll(fd, bytes);
  ok = (::close(fd) == 0) && ok;
  return ok;
}

bool exists(const Path& p) {
  std::error_code ec;
  return stdfs::exists(p, ec);
}

bool isDirectory(const Path& p) {
  std::error_code ec;
  return stdfs::is_directory(p, ec);
}

std::vector<std::string> list(const Path& dir, bool deep) {
  std::vector<std::string> names;
  std::error_code ec;
  if (!stdfs::is_directory(dir, ec)) return names;
  if (deep) {
    for (auto it = stdfs::recursive_directory_iterator(dir, ec);
         !ec && it != stdfs::recursive_directory_iterator(); it.increment(ec)) {
      if (isTempName(it->path().filename().string())) continue;
      names.push_back(it->path().lexically_relative(dir).generic_string());
    }
  } else {
    for (auto it = stdfs::directory_iterator(dir, ec); !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (isTempName(name)) continue;
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool copyEntry(const Path& from, const Path& to) {
  std::error_code ec;
  if (!stdfs::exists(from, ec) || stdfs::exists(to, ec)) return false;
  Path dir = to.parent_path();
  if (!dir.empty() && !mkdirs(dir)) return false;
  if (stdfs::is_directory(from, ec)) {
    stdfs::copy(from, to, stdfs::copy_options::recursive | stdfs::copy_options::copy_symlinks, ec);
  } else {
    stdfs::copy_file(from, to, stdfs::copy_options::none, ec);
  }
  return !ec;
}

bool removeTree(const Path& p) {
  std::error_code ec;
  stdfs::remove_all(p, ec);
  return !ec && !stdfs::exists(stdfs::symlink_status(p, ec));
}

bool mkdirs(const Path& p) {
  std::error_code ec;
  stdfs::create_directories(p, ec);
  return stdfs::is_directory(p, ec);
}

std::optional<uintmax_t> size(const Path& p) {
  std::error_code ec;
  auto n = stdfs::file_size(p, ec);
  if (ec) return std::nullopt;
  return n;
}

}  // namespace fs

}  // namespace platform
