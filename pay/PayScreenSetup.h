// What a business screen gives a pay screen that it opens by class name (the multi-pay screen,
// which lives in a module of its own): the summary, the texts and business type, and the display
// data. The commit request itself goes through Tools. A pay screen registered under
// "NVXMultPayViewController" implements this so that the forms can configure it without
// including it.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/TransactionInfoSource.h"
#include "platform/foundation/Json.h"

namespace nvx {

class PayScreenSetup {
 public:
  static constexpr const char* kMultPayClassName = "NVXMultPayViewController";

  virtual ~PayScreenSetup() = default;
  virtual void setInfo(std::shared_ptr<TransactionInfoSource> info) = 0;
  virtual void customizeSwipeViewWithNavTitle(std::optional<std::string> navTitle,
                                              std::optional<std::string> swipeHeader,
                                              std::optional<std::string> cardPlaceholder,
                                              std::optional<std::string> passwordPlaceholder,
                                              std::optional<std::string> tips,
                                              std::optional<std::string> doneButtonTitle, int businessType) = 0;
  virtual void setTransactionData(platform::Json data) = 0;
};

}  // namespace nvx
