// The outcome of a points-card collection: the commit's serial number, the account, the card and
// the point counts, on a white card under "归集成功！". No way back: "确定" returns to the home
// screen.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

namespace nvx {

class TradeResultViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "TradeResultViewController";
  static constexpr const char* kTitle = "归集成功";
  static constexpr const char* kDoneText = "归集成功！";

  static std::shared_ptr<TradeResultViewController> create() { return std::make_shared<TradeResultViewController>(); }
  std::string className() const override { return kClassName; }

  void setRetData(platform::Json data) { retData_ = std::move(data); }
  void setAccount(std::string account) { account_ = std::move(account); }

  void viewDidLoad() override;
  // "确定": back to the root of the stack.
  void sure();

  const std::shared_ptr<platform::ui::Button>& sureButton() const { return sureButton_; }
  const std::vector<std::shared_ptr<platform::ui::Label>>& valueLabels() const { return valueLabels_; }

 private:
  platform::Json retData_ = platform::Json::object();
  std::string account_;
  std::shared_ptr<platform::ui::Button> sureButton_;
  std::vector<std::shared_ptr<platform::ui::Label>> valueLabels_;
};

}  // namespace nvx
