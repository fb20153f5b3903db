#include "account/LoginViewController.h"

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "account/RetrievePasswordViewController.h"
#include "app/ui/AlertViewExt.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/ViewTool.h"
#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/text/StringsTool.h"
#include "net/DataStatistics.h"
#include "net/TerminalManager.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::Strings;
using platform::UserDefaults;
using platform::ui::Rect;
using platform::ui::TextField;

std::shared_ptr<LoginViewController> LoginViewController::create() { return std::make_shared<LoginViewController>(); }

// --- loading ----------------------------------------------------------------------------------------

void LoginViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("Login"));
  if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
  User::currentUser().outOfLogin();

  auto me = std::static_pointer_cast<LoginViewController>(self());
  table_ = account::addFormTable(me, true);

  // The remember-account tick: the box picture inside the button, the tick laid over it.
  rememberButton_ = platform::ui::Button::create(Rect{10, 124, 120, 30});
  rememberButton_->setTitle(kRememberTitle);
  rememberButton_->setTitleFont(platform::ui::Font::system(14));
  rememberButton_->setTitleColor(platform::ui::Color::black());
  rememberButton_->setImage(platform::ui::Image::named("check-off.png"));
  account::onTap(*rememberButton_, me, &LoginViewController::rememberAccount);
  tick_ = platform::ui::ImageView::create(Rect{0, 5, 20, 20});
  tick_->setImage(platform::ui::Image::named("check-on.png"));
  tick_->setUserInteractionEnabled(false);
  auto& defaults = UserDefaults::standard();
  tick_->setHidden(!defaults.contains(kRememberPasswordKey) || defaults.boolean(kRememberPasswordKey));
  rememberButton_->addSubview(tick_);
  table_->addSubview(rememberButton_);

  account::addButton(*table_, account::linkButton(Strings::localized("RetrievePassword")), Rect{200, 124, 110, 30}, me,
                     &LoginViewController::gotoRetrievePasswordView);
  account::addButton(*table_, ButtonCreater::halfButtonWithText(Strings::localized("Register"), 1),
                     Rect{9, 170, 148, 44}, me, &LoginViewController::gotoRegisterView);
  account::addButton(*table_, ButtonCreater::halfButtonWithText(Strings::localized("Login"), 0),
                     Rect{163, 170, 148, 44}, me, &LoginViewController::checkMobilePhoneNumber);
}

// --- the form ---------------------------------------------------------------------------------------

int LoginViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }

std::optional<double> LoginViewController::heightForHeader(platform::ui::TableView&, int) { return 20; }

std::shared_ptr<platform::ui::TableViewCell> LoginViewController::cellForRow(platform::ui::TableView&,
                                                                            platform::ui::IndexPath indexPath) {
  auto cell = TableCellExt::defaultGroupTableCell();
  auto me = std::static_pointer_cast<LoginViewController>(self());
  const bool phoneRow = indexPath.row == 0;
  cell->contentView()->addSubview(account::rowLabel(Strings::localized(phoneRow ? "Account" : "Password")));
  auto& field = phoneRow ? phoneField_ : passwordField_;
  if (!field) {
    field = account::formField(Rect{111, 8, 194, 30}, Strings::localized(phoneRow ? "MobileNumber" : "LoginPassword"),
                               phoneRow ? kPhoneTag : kPasswordTag,
                               std::weak_ptr<platform::ui::TextFieldDelegate>(me));
    if (phoneRow) {
      addDoneButtonForNumberPad(*field);
      if (isRememberTicked()) {
        const std::string remembered = UserDefaults::standard().string(kUserNameKey).value_or("");
        if (!remembered.empty()) {
          field->setText(StringsTool::handlePhoneNumber(remembered));
          phoneNumber_ = StringsTool::clearPhoneNumber(remembered);
        }
      }
    } else {
      field->setSecureTextEntry(true);
    }
  }
  cell->contentView()->addSubview(field);
  return cell;
}

void LoginViewController::didBeginEditing(TextField& field) {
  if (field.tag() == kPasswordTag) {
    password_.clear();
  } else if (field.tag() == kPhoneTag) {
    phoneNumber_.clear();
    account::phoneFieldBeginEditing(field);
  }
}

void LoginViewController::didEndEditing(TextField& field) {
  if (field.tag() == kPasswordTag) {
    password_ = field.text();
  } else if (field.tag() == kPhoneTag) {
    phoneNumber_ = account::phoneFieldEndEditing(field);
  }
}

std::optional<bool> LoginViewController::shouldChangeCharacters(TextField& field, platform::Range16 range,
                                                                 const std::string& replacement) {
  if (field.tag() == kPhoneTag) return StringsTool::isPhoneNumberField(field.text(), range, replacement, false).shouldChange;
  if (field.tag() == kPasswordTag) {
    // Up to 20 characters, as registration, reset and change allow; replacing a selection is
    // always allowed.
    const size_t length = account::textLength(field.text());
    return range.length > 0 || length - std::min(length, range.length) + account::textLength(replacement) <= kPasswordMaxLength;
  }
  return true;
}

std::optional<bool> LoginViewController::shouldReturn(TextField&) {
  endEditing();
  return true;
}

void LoginViewController::touchUpInsideEndedCustomTableView(CustomTableView&) { endEditing(); }

void LoginViewController::endEditing() {
  if (phoneField_) phoneField_->resignFirstResponder();
  if (passwordField_) passwordField_->resignFirstResponder();
}

bool LoginViewController::isRememberTicked() const { return tick_ && !tick_->isHidden(); }

void LoginViewController::rememberAccount() {
  if (tick_) tick_->setHidden(!tick_->isHidden());
}

void LoginViewController::moveToPwdTextFiled() {
  if (passwordField_) passwordField_->becomeFirstResponder();
}

void LoginViewController::registerViewController(RegisterViewController&, const std::string& phoneNumber) {
  view();
  if (table_) table_->layoutIfNeeded();
  phoneNumber_ = phoneNumber;
  if (phoneField_) phoneField_->setText(StringsTool::handlePhoneNumber(phoneNumber));
  password_.clear();
  if (passwordField_) passwordField_->setText("");
  if (tick_) tick_->setHidden(true);
}

// --- navigation -------------------------------------------------------------------------------------

void LoginViewController::gotoRegisterView() {
  auto screen = RegisterViewController::create();
  screen->setTipTitle(Strings::localized("PleaseEnterMobileNumber"));
  screen->setDelegate(std::weak_ptr<RegisterViewControllerDelegate>(std::static_pointer_cast<LoginViewController>(self())));
  if (auto navigation = navigationController()) navigation->push(screen, true);
}

void LoginViewController::gotoRetrievePasswordView() {
  if (auto navigation = navigationController()) navigation->push(RetrievePasswordViewController::create(), true);
}

void LoginViewController::backButtonPressed() {
  auto delegate = delegate_.lock();
  if (auto back = std::dynamic_pointer_cast<LoginBackDelegate>(delegate)) {
    back->didBackFromLogin(*this);
    return;
  }
  NVXViewController::backButtonPressed();
}

// --- login ------------------------------------------------------------------------------------------

void LoginViewController::checkMobilePhoneNumber() {
  endEditing();
  if (!StringsTool::isPhoneNumber(phoneNumber_)) {
    AlertViewExt::alertWithDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(self()),
                                    Strings::localized("Error_MobileNumber"),
                                    Strings::localized("Error_EnterMobileNumber"));
    return;
  }
  login();
}

void LoginViewController::login() {
  // The password leaves the client only under the password key; without a usable key nothing is
  // sent.
  auto encrypted = EncryptTool::getRSAEncryptionKeyFromString(password_);
  if (!encrypted) {
    HudExt::promptDataError();
    return;
  }
  auto me = std::static_pointer_cast<LoginViewController>(self());
  const std::string number = phoneNumber_;
  AccountOperations::getUserLoginState(number, *encrypted, [me, number](AccountReply reply) {
    if (!reply.ok()) {
      me->loginReplied(true, reply.retCode, account::replyPrompt(reply), {});
      return;
    }
    me->phoneNumber_ = number;
    me->loginReplied(false, reply.retCode, {}, reply.data);
  });
}

void LoginViewController::fillSessionProfile(const platform::Json& data) {
  namespace json = platform::json;
  auto text = [&](std::string_view key) { return json::text(data, key).value_or(""); };
  User& user = User::currentUser();
  user.setHasPwd(json::boolean(data, "hasPwd").value_or(false));
  user.setPan(text("pan"));
  user.setGiftno(text("giftno"));
  user.setAmount(User::amountFromFen(json::valueOrNull(data, "amount")));
  user.setLimitAmount(text("limitAmount"));
  user.setStatus(json::boolean(data, "status").value_or(false));
  user.setPsamNo(text("psamNo"));
  user.setIsAsk(json::boolean(data, "isAsk").value_or(false));
  user.setCustlev(text("custlev"));
  user.setCouponUrl(text("couponUrl"));
}

void LoginViewController::loginReplied(bool isErr, const std::string& retCode, const std::string& errMsg,
                                       const platform::Json& data) {
  auto weakSelfDelegate = std::weak_ptr<platform::ui::AlertViewDelegate>(self());
  if (isErr) {
    if (retCode == "1002") {
      AlertViewExt::alertWithDelegate(weakSelfDelegate, Strings::localized("Error_MobileNumber"),
                                      Strings::localized("Error_MobileNumberUnregistered"));
    } else if (retCode == "1004") {
      AlertViewExt::alertWithDelegate(weakSelfDelegate, Strings::localized("Error_Password"),
                                      Strings::localized("Error_EnterPassword"));
    } else {
      HudExt::prompt(errMsg);
    }
    return;
  }
  if (!data.is_object()) {
    HudExt::promptDataError();
    return;
  }
  fillSessionProfile(data);
  User& user = User::currentUser();
  user.setLoginName(phoneNumber_);
  auto& defaults = UserDefaults::standard();
  defaults.set(User::kLoginNameKey, phoneNumber_);
  defaults.synchronize();
  if (isRememberTicked()) {
    defaults.set(kUserNameKey, StringsTool::clearPhoneNumber(phoneField_ ? phoneField_->text() : phoneNumber_));
    defaults.set(kRememberPasswordKey, false);
  } else {
    defaults.set(kRememberPasswordKey, true);
  }
  defaults.synchronize();

  auto token = platform::json::text(data, "userToken");
  if (!token || token->empty()) {
    showPrompt(Strings::localized("Error_UserLogged"));
    return;
  }
  user.setUserToken(*token);
  user.setUserId(platform::json::text(data, "userId").value_or(""));

  TerminalManager manager;
  if (!manager.virtualTermSignWithViewController(self(), nullptr)) {
    if (!manager.error().empty()) HudExt::prompt(manager.error());
    return;
  }
  gotoOherView();
}

void LoginViewController::gotoOherView() {
  DataStatistics::sharedDataStatistics().uploadFile();
  if (customSuccessExecutor_) {
    auto action = customSuccessExecutor_;
    action();
    return;
  }
  if (successCallback_) {
    auto callback = successCallback_;
    callback();
    return;
  }
  auto navigation = navigationController();
  if (boxTitle_ && *boxTitle_ == Strings::localized("ReLogin")) {
    if (!navigation) return;
    const User& user = User::currentUser();
    if (user.preLoginName() == user.loginName()) {
      navigation->pop(true);
    } else {
      navigation->popToRoot(true);
    }
    return;
  }
  if (boxTitle_) {
    auto delegate = delegate_.lock();
    if (!delegate) return;
    auto keep = self();
    if (navigation) navigation->pop(false);
    delegate->gotoViewOfBoxTitle(*boxTitle_);
    return;
  }
  if (navigation) navigation->popToRoot(true);
}

}  // namespace nvx
