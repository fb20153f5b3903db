// Fuzzes the lottery reply reader over any bytes: the login reply and the top-up order as the
// screens read them, and a walk of fields chosen by the input itself. No read may leave the
// reply (the sanitizers catch it), the cursor never passes the end, and once a read has failed
// every later read gives nothing and the cursor stays where it was.
//
// Input: byte 0 gives the number n (0-15) of walk steps; the next n bytes choose each step's
// field kind; the rest is the reply, which the login and top-up readers see too.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lottery/core/LotteryReply.h"
#include "lottery/core/TopUpOrder.h"

namespace {

using nvx::lottery::LotteryLoginReply;
using nvx::lottery::LotteryReply;
using nvx::lottery::TopUpOrder;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "lottery_reply_fuzzer: %s\n", what.c_str());
  std::abort();
}

// One read of the kind chosen by step; whether it gave something.
bool readOne(LotteryReply& r, unsigned char step) {
  switch (step % 8) {
    case 0: return r.u8() != 0;
    case 1: return r.u16() != 0;
    case 2: return r.u32() != 0;
    case 3: return r.s1().has_value();
    case 4: return r.s2().has_value();
    case 5: return r.s4().has_value();
    case 6: return r.x1().has_value();
    default: r.skip(step / 8); return false;
  }
}

void walk(std::string_view script, std::string_view bytes) {
  LotteryReply r(bytes);
  if (r.isEmpty() != bytes.empty()) fail("emptiness");
  if (r.status().has_value() != (bytes.size() >= 2)) fail("status of a reply of " + std::to_string(bytes.size()));
  for (unsigned char step : script) {
    const bool wasOk = r.ok();
    const size_t before = r.offset();
    const bool gave = readOne(r, step);
    if (r.offset() > bytes.size()) fail("the cursor passed the end");
    if (r.offset() < before) fail("the cursor moved back");
    if (!wasOk && (gave || r.offset() != before)) fail("a read after a failure gave something");
    if (!r.ok() && r.error().empty()) fail("a failure without an error");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t steps = std::min<size_t>(data[0] % 16, size - 1);
  const std::string script(reinterpret_cast<const char*>(data) + 1, steps);
  // The reply in a buffer of its own size, so that a read past it is caught.
  const std::string reply(reinterpret_cast<const char*>(data) + 1 + steps, size - 1 - steps);
  walk(script, reply);

  auto login = LotteryLoginReply::read(reply);
  if (login && login->accepted() && login->refused()) fail("a refused login accepted");
  if (reply.empty() && login) fail("an empty login reply read");

  auto order = TopUpOrder::read(reply);
  if (order && (reply.size() < 2 || static_cast<unsigned char>(reply[0]) != 0x08 ||
                static_cast<unsigned char>(reply[1]) != 0xA5)) {
    fail("an order read from a reply that is not 2213");
  }
  return 0;
}
