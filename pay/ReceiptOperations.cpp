#include "pay/ReceiptOperations.h"

#include "core/text/UrlEscaping.h"
#include "net/NetService.h"

namespace nvx {

namespace {

class MainApiReceiptOperations : public ReceiptOperations {
 public:
  void getMarketingWithBusId(const std::string& busid, MarketingCompletion completion) override {
    NetService::nvxQuickSafeUIRequest(
        "getMarketing", "busid=" + text::encodeURLString(busid),
        [completion = std::move(completion)](NetResult result, RetStatusEntity status, bool isErr) {
          MarketingReply reply;
          if (isErr && !NetService::isRetOkButNilData(status)) {
            reply.isErr = true;
            reply.errMsg = status.errMsg();
          } else if (auto item = result.object<MarketingEntity>()) {
            reply.item = *item;
          }
          completion(std::move(reply));
        },
        EntityClass::of<MarketingEntity>());
  }
};

}  // namespace

std::shared_ptr<ReceiptOperations> ReceiptOperations::mainApi() { return std::make_shared<MainApiReceiptOperations>(); }

}  // namespace nvx
