// Fuzzes the reading of a server theme from JSON of any shape: the theme record and its file
// list, the choice of files to download against a stored list, the merge, the archive round trip
// and the file names taken from download addresses. Whatever the text, nothing crashes, no
// entry appears that neither list held, and no name with a separator or ".." is let through.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "core/models/FileListEntity.h"
#include "core/models/ThemeEntity.h"
#include "core/session/ThemeUtil.h"
#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "theme_list_fuzzer: %s\n", what.c_str());
  std::abort();
}

void checkName(const platform::Json& address) {
  auto text = platform::json::asText(address);
  if (!text) return;
  const std::string name = nvx::ThemeUtil::lastPathComponent(*text);
  if (!nvx::ThemeUtil::isPlainFileName(name)) return;
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == ".." || name == "." ||
      name.find('\0') != std::string::npos) {
    fail("an unsafe file name was accepted: " + name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = [] {
    nvx::ThemeEntity::registerArchiveClass();
    return true;
  }();
  (void)registered;
  auto json = platform::json::parseDroppingNulls(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!json) return 0;
  // A pair [stored, server] compares two themes; anything else is the server's theme against
  // itself.
  const bool pair = json->is_array() && json->size() == 2;
  const auto server = nvx::ThemeEntity::initWithJson(pair ? (*json)[1] : *json);
  const auto stored = nvx::ThemeEntity::initWithJson(pair ? (*json)[0] : *json);

  (void)nvx::ThemeUtil::versionOf(server.themeVersion());
  checkName(server.zipURL());
  std::set<const nvx::FileListEntity*> known;
  for (const auto& f : server.fileList()) {
    checkName(f->filepath());
    known.insert(f.get());
  }
  for (const auto& f : stored.fileList()) known.insert(f.get());

  const auto fetch = nvx::ThemeUtil::needDownloadArrWithDefaultList(stored.fileList(), server.fileList());
  if (fetch.size() > server.fileList().size()) fail("more files to fetch than the server listed");
  for (const auto& f : fetch) {
    if (!f || !known.count(f.get())) fail("a file to fetch that the server did not list");
  }
  const auto merged = nvx::ThemeUtil::mergeFileArrWithDefaultList(stored.fileList(), server.fileList());
  if (merged.size() < stored.fileList().size() || merged.size() > stored.fileList().size() + server.fileList().size()) {
    fail("the merged list has an impossible length");
  }
  for (const auto& f : merged) {
    if (!f || !known.count(f.get())) fail("a merged entry from nowhere");
  }

  // The record survives its archive with its whole list.
  auto copy = std::dynamic_pointer_cast<nvx::ThemeEntity>(platform::Unarchiver::decodeObject(
      platform::Archiver::encodeObject(server)));
  if (!copy) fail("a theme record did not survive its archive");
  if (copy->fileList().size() != server.fileList().size()) fail("the archive lost files");
  return 0;
}
