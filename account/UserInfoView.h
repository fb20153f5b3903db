// The profile form as a panel of the home screen instead of a screen of its own: the same data,
// masks, check states, checks and requests, without the wallet-agreement row, with the save
// button "提交审核" inside the panel, prompts shown by the home screen, and nothing popped after
// a save.
#pragma once
#include <memory>

#include "account/UserInfomationViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"

namespace nvx {

class UserInfoView : public platform::ui::View {
 public:
  // The form inside the panel: the profile screen's form with the panel's differences.
  class Form;

  // White, with the hidden save button at (270, 5).
  static std::shared_ptr<UserInfoView> initWithFrame(platform::ui::Rect frame);
  // The form (table at (0, 44), the panel's height less 44), then the profile query.
  void initMessage();

  const std::shared_ptr<platform::ui::Button>& rightButton() const { return rightButton_; }
  std::shared_ptr<UserInfomationViewController> form() const;

 private:
  std::shared_ptr<platform::ui::Button> rightButton_;
  std::shared_ptr<Form> form_;
};

}  // namespace nvx
