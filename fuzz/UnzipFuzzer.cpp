// Fuzzes the unpacking of zip archives (theme packages). The input is the archive file; it is
// written into a private temporary folder and unpacked into a fresh destination beside it. Whatever
// the bytes, nothing may be written outside the destination, the destination may hold only plain
// files and folders within the limits, the staging folder never stays behind, and an archive that
// is refused or fails leaves no destination at all.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/session/IOUtil.h"
#include "platform/foundation/Sandbox.h"

namespace {

namespace stdfs = std::filesystem;

// Small limits: a run stays cheap and the limit checks are reached by small inputs.
nvx::IOUtil::UnzipLimits limits() {
  nvx::IOUtil::UnzipLimits l;
  l.maxEntryBytes = 256u << 10;
  l.maxTotalBytes = 1u << 20;
  l.maxEntries = 64;
  l.maxRatio = 100;
  l.ratioFloorBytes = 16u << 10;
  return l;
}

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "unzip_fuzzer: %s\n", what.c_str());
  std::abort();
}

stdfs::path* gRoot = nullptr;

void removeRoot() {
  if (!gRoot) return;
  std::error_code ec;
  stdfs::remove_all(*gRoot, ec);
}

bool writeFile(const stdfs::path& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

// Whether path lies at or below dir (both lexically normal, no links followed).
bool within(const stdfs::path& path, const stdfs::path& dir) {
  auto rel = path.lexically_relative(dir);
  return !rel.empty() && *rel.begin() != "..";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Memory-backed when there is such a folder: every unpacked file is synced to disk.
  std::error_code ec;
  stdfs::path base = stdfs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                         ? stdfs::path("/dev/shm")
                         : stdfs::temp_directory_path(ec);
  std::string pattern = (base / "nvx-unzip-fuzz-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) fail("cannot make a temporary folder under " + base.string());
  gRoot = new stdfs::path(pattern);
  std::atexit(removeRoot);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const stdfs::path archive = *gRoot / "archive.zip";
  const stdfs::path dest = *gRoot / "dest";
  if (!writeFile(archive, data, size)) fail("cannot write the archive");

  const auto l = limits();
  platform::Status status = nvx::IOUtil::unzipWithLimits(archive, dest, l);

  // Nothing beside the archive and the destination, whatever the outcome.
  std::error_code ec;
  for (auto it = stdfs::directory_iterator(*gRoot, ec); !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
    if (it->path() != archive && it->path() != dest) fail("written outside the destination: " + it->path().string());
  }
  if (ec) fail("cannot read the temporary folder");

  const bool destExists = stdfs::exists(stdfs::symlink_status(dest, ec));
  if (!status && destExists) fail("a failed unpacking (" + status.message() + ") left the destination behind");
  if (status) {
    if (!stdfs::is_directory(stdfs::symlink_status(dest, ec))) fail("success without a destination folder");
    uint64_t files = 0;
    uint64_t bytes = 0;
    for (auto it = stdfs::recursive_directory_iterator(dest, ec); !ec && it != stdfs::recursive_directory_iterator();
         it.increment(ec)) {
      const auto st = it->symlink_status(ec);
      if (ec) fail("cannot look at " + it->path().string());
      if (!within(it->path().lexically_normal(), dest.lexically_normal())) fail("outside: " + it->path().string());
      if (it->path().filename().string().rfind(".nvx-unzip-", 0) == 0) fail("staging folder left behind");
      if (stdfs::is_directory(st)) continue;
      if (!stdfs::is_regular_file(st)) fail("neither a file nor a folder: " + it->path().string());
      ++files;
      bytes += stdfs::file_size(it->path(), ec);
    }
    if (ec) fail("cannot read the destination");
    if (files > l.maxEntries || bytes > l.maxTotalBytes) fail("unpacked past the limits");
  }

  stdfs::remove_all(dest, ec);
  stdfs::remove(archive, ec);
  return 0;
}
