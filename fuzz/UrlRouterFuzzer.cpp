// Fuzzes the reading of URLs other apps open the client with: the call's key-value pairs (raw and
// percent-decoded), the partner message (escapes, Base64, JSON), a merchant's order and its bill
// pairs, the return text of a verified callback address, and the older checkout's ";"-fields.
// Whatever the text, nothing crashes, a refused order is never billed, and the amount billed is
// whole fen that the commit's yuan amount spells again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pay/AppScheduller.h"
#include "pay/CheckoutData.h"
#include "pay/PayMoney.h"
#include "pay/ThirdPartyAppScheduller.h"

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "url_router_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  auto raw = nvx::AppScheduller::callPairs(url, false);
  auto decoded = nvx::AppScheduller::callPairs(url, true);
  if (decoded.size() > raw.size() + 1 && raw.empty()) fail("decoding made pairs out of nothing");
  if (auto message = raw.find("message"); message != raw.end()) {
    (void)nvx::TPMessageEntity::fromUrlValue(message->second).description();
  }
  (void)nvx::ThirdPartyAppScheduller::callbackMsgOf(url);
  (void)nvx::AppScheduller::returnUrl(url, url);

  const nvx::CheckoutBean bean = nvx::CheckoutBean::fromPairs(decoded);
  if (bean.validateCheckoutData()) {
    auto fen = bean.amountFen();
    if (!fen || *fen < 0) fail("an accepted order without an amount");
    if (nvx::PayMoney::fenFromYuanText(bean.amountYuan()) != fen) fail("bill and commit amounts differ");
    (void)nvx::AppSchedullerOperations::billQuery(bean.checkoutBillPairs());
  }
  return 0;
}
