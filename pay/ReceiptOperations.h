// The receipt's server operation: the marketing item of the business just paid
// ("getMarketing.json?<identity>&busid=<code>"). Tests replace it through the receipt's
// setOperations.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "pay/MarketingEntity.h"

namespace nvx {

class ReceiptOperations {
 public:
  // A business without an item ("0000" without data) is no error: item is then empty.
  struct MarketingReply {
    bool isErr = false;
    std::string errMsg;
    std::optional<MarketingEntity> item;
  };
  // Runs once, on the main loop.
  using MarketingCompletion = std::function<void(MarketingReply)>;

  virtual ~ReceiptOperations() = default;
  // The operations against the main API.
  static std::shared_ptr<ReceiptOperations> mainApi();

  // getMarketingWithBusId:block: the code is sent as the value of the one parameter "busid"
  // (escaped, so a code can never add parameters of its own); the window's progress indicator
  // shows while it runs.
  virtual void getMarketingWithBusId(const std::string& busid, MarketingCompletion completion) = 0;
};

}  // namespace nvx
