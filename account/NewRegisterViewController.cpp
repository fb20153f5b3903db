#include "account/NewRegisterViewController.h"

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/ViewTool.h"
#include "app/ui/WalletProtocolViewController.h"
#include "core/session/User.h"
#include "core/shell/PayPwdScreen.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/PasswordLevelChecker.h"
#include "net/DataStatistics.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::ui::Rect;
using platform::ui::TextField;

namespace {
constexpr const char* kTag = "NewRegister";
}

std::shared_ptr<NewRegisterViewController> NewRegisterViewController::create() {
  return std::make_shared<NewRegisterViewController>();
}

std::shared_ptr<platform::ui::Button> NewRegisterViewController::tickButton(Rect frame, const char* title, bool on,
                                                                           void (NewRegisterViewController::*action)()) {
  auto button = platform::ui::Button::create(frame);
  button->setTitle(title);
  button->setTitleFont(platform::ui::Font::system(14));
  button->setTitleColor(platform::ui::Color::black());
  button->setImage(platform::ui::Image::named("check-off.png"));
  button->setImage(platform::ui::Image::named("check-on.png"), platform::ui::ControlState::Selected);
  button->setSelected(on);
  account::onTap(*button, std::static_pointer_cast<NewRegisterViewController>(self()), action);
  return button;
}

void NewRegisterViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  auto me = std::static_pointer_cast<NewRegisterViewController>(self());
  table_ = account::addFormTable(me, false);

  auto footer = platform::ui::View::create(Rect{0, 0, 320, 250});
  auto hint = platform::ui::Label::create(Rect{20, 4, 280, 20}, kPasswordRule);
  hint->setFont(platform::ui::Font::system(14));
  hint->setTextColor(platform::ui::Color::gray(0.5));
  footer->addSubview(hint);
  showTick_ = tickButton(Rect{14, 30, 120, 30}, kShowPassword, false, &NewRegisterViewController::showPwd);
  footer->addSubview(showTick_);
  serviceTick_ = tickButton(Rect{14, 64, 70, 30}, kAgree, true, &NewRegisterViewController::agreeNVXArgeement);
  footer->addSubview(serviceTick_);
  walletTick_ = tickButton(Rect{14, 98, 70, 30}, kAgreeWallet, true, &NewRegisterViewController::agreeNVXWalletArgeement);
  footer->addSubview(walletTick_);
  account::addButton(*footer, account::linkButton(kServiceAgreementLink), Rect{86, 64, 200, 30}, me,
                     &NewRegisterViewController::readNVXArg);
  account::addButton(*footer, account::linkButton(kWalletAgreementLink), Rect{86, 98, 200, 30}, me,
                     &NewRegisterViewController::readWallArg);
  account::addButton(*footer, ButtonCreater::bigButtonWithText(kRegisterTitle), Rect{9, 150, 302, 44}, me,
                     &NewRegisterViewController::nextStep);
  table_->setTableFooterView(footer);
}

int NewRegisterViewController::numberOfRows(platform::ui::TableView&, int) { return 1; }

std::optional<double> NewRegisterViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath) {
  return 44;
}

std::shared_ptr<platform::ui::TableViewCell> NewRegisterViewController::cellForRow(platform::ui::TableView&,
                                                                                  platform::ui::IndexPath) {
  auto cell = TableCellExt::defaultGroupTableCell();
  cell->contentView()->addSubview(account::rowLabel(kPasswordLabel));
  if (!passwordField_) {
    passwordField_ = account::formField(Rect{111, 8, 194, 30}, kPasswordLabel, 0,
                                        std::weak_ptr<platform::ui::TextFieldDelegate>(
                                            std::static_pointer_cast<NewRegisterViewController>(self())));
    passwordField_->setSecureTextEntry(true);
  }
  cell->contentView()->addSubview(passwordField_);
  return cell;
}

std::optional<bool> NewRegisterViewController::shouldReturn(TextField& field) {
  // The return key closes the keyboard too, so that the register button is in reach.
  field.resignFirstResponder();
  if (table_) table_->setContentOffset({0, 0}, true);
  return true;
}

void NewRegisterViewController::didBeginEditing(TextField& field) { field.setFont(platform::ui::Font::system(16)); }

void NewRegisterViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  if (passwordField_) passwordField_->resignFirstResponder();
  if (table_) table_->setContentOffset({0, 0}, true);
}

void NewRegisterViewController::showPwd() {
  if (passwordField_) passwordField_->resignFirstResponder();
  showTick_->setSelected(!showTick_->isSelected());
  if (passwordField_) passwordField_->setSecureTextEntry(!showTick_->isSelected());
}

void NewRegisterViewController::agreeNVXArgeement() { serviceTick_->setSelected(!serviceTick_->isSelected()); }
void NewRegisterViewController::agreeNVXWalletArgeement() { walletTick_->setSelected(!walletTick_->isSelected()); }

void NewRegisterViewController::readNVXArg() {
  auto screen = ScreenRegistry::shared().create(kAgreementScreen);
  if (!screen) return;  // the home module's agreement screen is not registered (logged)
  if (auto navigation = navigationController()) navigation->push(screen, true);
}

void NewRegisterViewController::readWallArg() {
  if (auto navigation = navigationController()) navigation->push(WalletProtocolViewController::create(), true);
}

void NewRegisterViewController::nextStep() {
  const std::string password = passwordField_ ? passwordField_->text() : std::string();
  if (!account::isPasswordLengthValid(password)) {
    HudExt::prompt(kPasswordRule);
    return;
  }
  if (!isServiceAgreed()) {
    HudExt::prompt(kServiceAgreementOff);
    return;
  }
  if (!isWalletAgreed()) {
    HudExt::prompt(kWalletAgreementOff);
    return;
  }
  WalletRegistration form;
  form.loginName = registetNum_;
  form.password = password;
  form.pwdSecLevel = PasswordLevelChecker().checkPassword(password).value_or("");
  auto me = std::static_pointer_cast<NewRegisterViewController>(self());
  AccountOperations::newRegister(form, [me](AccountReply reply) {
    HudExt::hide();
    if (!reply.ok() || !reply.data.is_object()) {
      HudExt::prompt(account::replyPrompt(reply));
      return;
    }
    me->registered(WalletregisterEntity::initWithJson(reply.data));
  });
}

void NewRegisterViewController::registered(const WalletregisterEntity& entity) {
  postRegisterDatastatic(registetNum_);
  User& user = User::currentUser();
  user.setUserId(entity.userId());
  user.setUserToken(entity.userToken());
  user.setPsamNo(entity.psamNo());
  user.setLoginName(registetNum_);
  auto screen = ScreenRegistry::shared().create(PayPwdScreen::kClassName);
  if (!screen) {
    platform::log::info(kTag, "no pay-password screen registered; registration ends here");
    return;
  }
  if (auto payPwd = std::dynamic_pointer_cast<PayPwdScreen>(screen)) payPwd->setResiterEntity(entity);
  if (auto navigation = navigationController()) navigation->push(screen, true);
}

void NewRegisterViewController::postRegisterDatastatic(const std::string& phoneNumber) {
  const std::string record = DataStatistics::sharedDataStatistics().registerSuccessRecord(phoneNumber);
  AccountOperations::insertRegisterRecord(record, [](bool stored) {
    if (stored) DataStatistics::sharedDataStatistics().clearRegisterFileData();
  });
}

}  // namespace nvx
