#include "pay/PayOperations.h"

#include "pay/Tools.h"
#include "platform/foundation/RunLoop.h"

namespace nvx {

namespace {

class UnavailableOperations : public PayOperations {
 public:
  Prepared commit(const Tools& tools, const CardFields&) override {
    return {[] { return PayReply::failed(PayReply::Kind::NotSent); }, tools.infoDic()};
  }
  Prepared feeInquiry(const Tools& tools, const CardFields&) override {
    return {[] { return PayReply::failed(PayReply::Kind::NotSent); }, tools.requestSearchFeeInfoDic()};
  }
  void getParameter(std::string, std::string, std::function<void(std::optional<platform::Json>)> completion) override {
    platform::dispatchMain([completion = std::move(completion)] { completion(std::nullopt); });
  }
  void handleExpiredLogin() override {}
};

}  // namespace

std::shared_ptr<PayOperations> PayOperations::mainApi() { return std::make_shared<UnavailableOperations>(); }

}  // namespace nvx
