// Fuzzes the reading of the 0002 reader's link-speed file from arbitrary XML. Whatever the bytes,
// the reader answers (a text or nothing) without reaching beyond the input: no file, no network,
// no entity blown up into more text than the file holds. A text it reads is written back and
// read again unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reader/f0002/SpeedPlist.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "speed_plist_fuzzer: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input's own buffer: a read past the file is caught.
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  auto text = nvx::reader::SpeedPlist::firstString(xml);
  if (!text) return 0;
  // The text comes from the file's own characters, each used once: at most three bytes of UTF-8
  // for each byte of a declared encoding; references and line ends only shrink.
  if (text->size() > 3 * size) fail("the text is longer than the file (" + std::to_string(text->size()) + " bytes)");
  if (nvx::reader::SpeedPlist::firstString(nvx::reader::SpeedPlist::serialize(*text)) != *text)
    fail("the text does not survive being written and read again");
  return 0;
}
