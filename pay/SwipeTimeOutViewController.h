// The page shown when the outcome of a card payment's commit is open: the server's gateway timed
// out, the server answered "1030", or the answer never came after the request went out. It says
// that the transaction timed out and shows the query number and the amount, so that the user can
// ask about it later; it leads only home or to the service hotline and sends nothing.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui/NVXViewController.h"
#include "platform/ui/Label.h"

namespace nvx {

class SwipeTimeOutViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "SwipeTimeOutViewController";
  static constexpr const char* kTitle = "交易超时";
  static constexpr const char* kQueryNumberLabel = "交易查询号";

  // initWithBillNo:andAmount: (query number, amount text with two decimals); a missing value
  // shows no row.
  static std::shared_ptr<SwipeTimeOutViewController> create(std::optional<std::string> billNo,
                                                            std::optional<std::string> amount);

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // Pops to the root screen (home).
  void doneButtonPressed();
  // "tel:" + the hotline; an alert when the device cannot call.
  void makePhoneCall();
  // Clear background, grey 0.408, 14 pt.
  static std::shared_ptr<platform::ui::Label> labelWithFrame(platform::ui::Rect frame, std::string_view text);

  const std::optional<std::string>& billNumber() const { return billNumber_; }
  void setBillNumber(std::optional<std::string> v) { billNumber_ = std::move(v); }
  const std::optional<std::string>& amount() const { return amount_; }
  void setAmount(std::optional<std::string> v) { amount_ = std::move(v); }

 private:
  std::optional<std::string> billNumber_;
  std::optional<std::string> amount_;
};

}  // namespace nvx
