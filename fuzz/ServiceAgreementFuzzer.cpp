// Fuzzes the reading of the service agreement's property list from arbitrary XML. Whatever the
// bytes, the reader answers (a dictionary or nothing) without reaching beyond the input: no file,
// no network, no entity blown up into more text than the document holds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ui/ServiceAgreement.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "service_agreement_fuzzer: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input's own buffer: a read past the document is caught.
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  auto entries = nvx::ServiceAgreement::parseStringDictionary(xml);
  if (!entries) return 0;
  // Every key and text comes from the document's own characters, each used once: together they
  // cannot be longer than the document turned into UTF-8 (at most three bytes for each byte of
  // a declared encoding; references and line ends only shrink).
  size_t total = 0;
  for (const auto& [key, text] : *entries) total += key.size() + text.size();
  if (total > 3 * size) fail("the entries hold more text than the document (" + std::to_string(total) + " bytes)");
  return 0;
}
