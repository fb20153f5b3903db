#include "account/UserInfoView.h"

#include "account/AccountForm.h"
#include "app/ui/ButtonCreater.h"
#include "core/shell/AppServices.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::ui::Rect;

class UserInfoView::Form : public UserInfomationViewController {
 public:
  Form(std::weak_ptr<platform::ui::Button> saveButton, double height)
      : saveButton_(std::move(saveButton)), height_(height) {}

  void viewDidLoad() override {
    UserInfomationViewController::viewDidLoad();
    setTitle("");
    userInfoTableView_->setFrame(Rect{0, 44, 320, height_ - 44});
  }

 protected:
  // No agreement row: a save goes straight to the checks of the data.
  void initWalletAgrement() override { isShowPW_ = true; }
  double footerHeight() const override { return 21; }
  void setSaveButton(bool on) override {
    if (auto button = saveButton_.lock()) button->setHidden(!on);
  }
  void say(std::string text) override {
    if (auto home = homeScreen()) home->showPrompt(std::move(text));
    else UserInfomationViewController::say(std::move(text));
  }
  void say(std::string text, std::function<void()> follow) override {
    if (auto home = homeScreen()) home->showPrompt(std::move(text), std::move(follow));
    else UserInfomationViewController::say(std::move(text), std::move(follow));
  }
  bool promptsOnWindow() const override { return false; }
  // The panel stays: nothing follows the prompt.
  void fetchFailed() override { say(kFetchFailed); }
  void resubmitted() override {}
  std::string savedText() const override { return platform::Strings::localized("Success_ModifyUserInfo"); }
  void gotoViewOfBoxTitle(const std::string& boxTitle) override {
    if (boxTitle != kNoInformation) return;
    if (auto navigation = AppServices::current().navigationController()) navigation->popToRoot(true);
  }

 private:
  static std::shared_ptr<NVXViewController> homeScreen() {
    return std::dynamic_pointer_cast<NVXViewController>(AppServices::current().homeViewController());
  }

  std::weak_ptr<platform::ui::Button> saveButton_;
  double height_;
};

std::shared_ptr<UserInfoView> UserInfoView::initWithFrame(Rect frame) {
  auto panel = std::make_shared<UserInfoView>();
  panel->setFrame(frame);
  panel->setBackgroundColor(platform::ui::Color::white());
  panel->rightButton_ = ButtonCreater::barButtonWithText(UserInfomationViewController::kSave);
  panel->rightButton_->setFrame(Rect{270, 5, panel->rightButton_->frame().width, panel->rightButton_->frame().height});
  panel->rightButton_->setHidden(true);
  return panel;
}

void UserInfoView::initMessage() {
  form_ = std::make_shared<Form>(rightButton_, frame().height);
  // The form's view loads now (its set-up and the profile query) and becomes the panel's content.
  auto content = form_->view();
  content->setFrame(Rect{0, 0, frame().width, frame().height});
  addSubview(content);
  addSubview(rightButton_);
  std::weak_ptr<Form> weak = form_;
  rightButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto form = weak.lock()) form->saveUserInfomation();
  });
}

std::shared_ptr<UserInfomationViewController> UserInfoView::form() const { return form_; }

}  // namespace nvx
