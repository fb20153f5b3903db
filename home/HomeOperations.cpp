#include "home/HomeOperations.h"

#include "core/text/UrlEscaping.h"
#include "net/MainApiRequest.h"

namespace nvx {

namespace {

using platform::Json;

class MainApiHomeOperations : public HomeOperations {
 public:
  void getPromotion(std::shared_ptr<platform::ui::ViewController> /*screen*/, PromotionCompletion completion) override {
    // An expired login is the expired-login handling's (its alert or login screen); any other
    // failure or shape gives no tips.
    MainApiRequest::get("getPromotion", Identity::Plain)
        .start({[completion = std::move(completion)](ServerReply reply) {
                  const Json* data = reply.data();
                  if (data && data->is_array()) {
                    completion(*data);
                  } else {
                    completion(std::nullopt);
                  }
                },
                "getPromotion"});
  }

  void getTotalMsg(const std::string& messageNum, TotalCompletion completion) override {
    MainApiRequest::get("getTotalMsg", Identity::Plain)
        .query("maxMsgId", text::encodeURLString(messageNum))
        .start({[completion = std::move(completion)](ServerReply reply) {
                  const Json* data = reply.data();
                  completion(data ? platform::json::integer(*data, "total") : std::nullopt);
                },
                "getTotalMsg"});
  }
};

}  // namespace

std::shared_ptr<HomeOperations> HomeOperations::create() { return std::make_shared<MainApiHomeOperations>(); }

}  // namespace nvx
