#include "pay/ReceiptOperations.h"

#include "core/text/UrlEscaping.h"
#include "net/MainApiRequest.h"

namespace nvx {

namespace {

class MainApiReceiptOperations : public ReceiptOperations {
 public:
  void getMarketingWithBusId(const std::string& busid, MarketingCompletion completion) override {
    MainApiRequest::get("getMarketing", Identity::Plain)
        .query("busid", text::encodeURLString(busid))
        .spinner()
        .entity(EntityClass::of<MarketingEntity>())
        .start([completion = std::move(completion)](ServerReply reply) {
          // The expired-login handling owns a reply it took over; the receipt shows nothing.
          if (reply.kind == FailureKind::SessionExpired && reply.takenOver) return;
          MarketingReply out;
          if (reply.ok()) {
            // "0000" without data: a business without an item, not an error.
            if (auto item = reply.result.object<MarketingEntity>()) out.item = *item;
          } else {
            out.isErr = true;
            out.errMsg = reply.message();
          }
          completion(std::move(out));
        });
  }
};

}  // namespace

std::shared_ptr<ReceiptOperations> ReceiptOperations::mainApi() { return std::make_shared<MainApiReceiptOperations>(); }

}  // namespace nvx
