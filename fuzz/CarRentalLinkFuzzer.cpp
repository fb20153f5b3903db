// Fuzzes the reader of the car-rental partner's links over any text: it never fails, a link of
// another scheme always loads, one of the client's scheme never does, and a call is offered only
// for a number the dialler can take.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bills/CarRentalLink.h"

namespace {

using nvx::CarRentalLink;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "car_rental_link_fuzzer: %s\n", what);
  std::abort();
}

bool ownScheme(std::string_view url) {
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon < 3) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return lower(url[0]) == 'n' && lower(url[1]) == 'v' && lower(url[2]) == 'x';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The text in a buffer of its own size, so that a read past it is caught.
  const std::string url(reinterpret_cast<const char*>(data), size);
  const CarRentalLink link = CarRentalLink::read(url);
  if (!ownScheme(url) && link.kind != CarRentalLink::Kind::Load) fail("another scheme did not load");
  if (link.kind == CarRentalLink::Kind::Call) {
    if (!CarRentalLink::isDiallable(link.mobile)) fail("a call offered for a text that is not a number");
    if (url.find("params=") == std::string::npos) fail("a call without parameters");
  } else if (!link.mobile.empty()) {
    fail("a number without a call");
  }
  return 0;
}
