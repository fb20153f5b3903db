#include "account/UserInfomationViewController.h"

#include <algorithm>

#include "account/AccountForm.h"
#include "account/IdentityData.h"
#include "account/LoginViewController.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "app/ui/NVXResponseErrorHandler.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/ViewTool.h"
#include "app/ui/WalletProtocolViewController.h"
#include "core/session/User.h"
#include "core/text/StringsTool.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

namespace {

constexpr int kNameTag = 0;
constexpr int kNumberTag = 1;
constexpr int kEmailTag = 2;

}  // namespace

std::shared_ptr<UserInfomationViewController> UserInfomationViewController::create() {
  return std::make_shared<UserInfomationViewController>();
}

std::shared_ptr<UserInfomationViewController> UserInfomationViewController::me() {
  return std::static_pointer_cast<UserInfomationViewController>(self());
}

std::shared_ptr<TextField> UserInfomationViewController::createTextFieldDefaultTip(const char* placeholderKey, int tag) {
  return account::formField(Rect{110, 8, 190, 30}, Strings::localized(placeholderKey), tag,
                            std::weak_ptr<platform::ui::TextFieldDelegate>(me()));
}

void UserInfomationViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  nameField_ = createTextFieldDefaultTip("UserName", kNameTag);
  identityNumberField_ = createTextFieldDefaultTip("IdentityCardNumber", kNumberTag);
  identityNumberField_->setKeyboardType(platform::ui::KeyboardType::NumbersAndPunctuation);
  emailField_ = createTextFieldDefaultTip("EmailAddress", kEmailTag);
  emailField_->setKeyboardType(platform::ui::KeyboardType::EmailAddress);
  emailField_->setReturnKeyType(platform::ui::ReturnKeyType::Default);

  auto self = me();
  userInfoTableView_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, 320, view()->bounds().height});
  userInfoTableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  userInfoTableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  userInfoTableView_->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(self));
  view()->addSubview(userInfoTableView_);

  // addMessageLabel
  tipLabel_ = platform::ui::Label::create(Rect{0, 0, 320, 63}, "");
  tipLabel_->setFont(platform::ui::Font::system(14));
  tipLabel_->setTextAlignment(platform::ui::TextAlignment::Center);
  tipLabel_->setNumberOfLines(0);

  // addIdCardView: the cover lies exactly over the two photo buttons and takes their touches.
  auto controller = std::weak_ptr<platform::ui::ViewController>(self);
  button_ = IdentityCardPhotoButton::create(platform::ui::Point{150, 3}, controller, std::nullopt);
  button1_ = IdentityCardPhotoButton::create(platform::ui::Point{230, 3}, controller, std::nullopt);
  psView_ = platform::ui::View::create(Rect{10, 0, 300, 50});
  psView_->layer().cornerRadius = 6;
  psView_->setHidden(true);
  for (auto [picture, x] : {std::pair{"pic.png", 140.0}, {"picb.png", 220.0}}) {
    auto image = platform::ui::ImageView::create(Rect{x, 3, 63, 44});
    if (auto named = platform::ui::Image::named(picture)) image->setImage(*named);
    psView_->addSubview(image);
  }
  getUserInfomation();
}

// --- table ---

std::optional<int> UserInfomationViewController::numberOfSections(platform::ui::TableView&) { return 2; }
int UserInfomationViewController::numberOfRows(platform::ui::TableView&, int section) { return section == 0 ? 1 : 3; }
std::optional<double> UserInfomationViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  return path.section == 0 ? 50 : 44;
}
std::optional<double> UserInfomationViewController::heightForHeader(platform::ui::TableView&, int) { return 20; }

std::shared_ptr<platform::ui::TableViewCell> UserInfomationViewController::cellForRow(platform::ui::TableView&,
                                                                                     platform::ui::IndexPath path) {
  auto cell = TableCellExt::defaultGroupTableCell();
  auto content = cell->contentView();
  if (path.section == 0) {
    content->addSubview(account::rowLabel(Strings::localized("IdPicTite")));
    content->addSubview(button_);
    content->addSubview(button1_);
    content->addSubview(psView_);
    return cell;
  }
  static constexpr const char* kCaptions[] = {"Name", "IdentityCardNumber", "Email"};
  const std::shared_ptr<TextField>* fields[] = {&nameField_, &identityNumberField_, &emailField_};
  const int row = std::clamp(path.row, 0, 2);
  auto caption = account::rowLabel(Strings::localized(kCaptions[row]));
  caption->setFont(platform::ui::Font::system(16));
  content->addSubview(caption);
  content->addSubview(*fields[row]);
  return cell;
}

// --- fields ---

void UserInfomationViewController::didBeginEditing(TextField& field) {
  switch (field.tag()) {
    case kNameTag: name_.clear(); break;
    case kNumberTag:
      identityNumber_.clear();
      userInfoTableView_->setContentOffset({0, 50}, true);
      break;
    case kEmailTag:
      userInfoTableView_->setContentOffset({0, 100}, true);
      email_.clear();
      break;
    default: break;
  }
}

void UserInfomationViewController::didEndEditing(TextField& field) {
  switch (field.tag()) {
    case kNameTag: name_ = field.text(); break;
    case kNumberTag: identityNumber_ = field.text(); break;
    case kEmailTag: email_ = field.text(); break;
    default: break;
  }
}

std::optional<bool> UserInfomationViewController::shouldChangeCharacters(TextField& field, platform::Range16 range,
                                                      const std::string& replacement) {
  return field.tag() != kNameTag || account::realNameChangeAllowed(field.text(), range, replacement);
}

void UserInfomationViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  userInfoTableView_->setContentOffset({0, 0}, true);
  for (const auto* field : {&nameField_, &identityNumberField_, &emailField_}) {
    if ((*field)->isEditing()) (*field)->resignFirstResponder();
  }
}

std::optional<bool> UserInfomationViewController::shouldReturn(TextField&) {
  touchUpInsideEndedCustomTableView(*userInfoTableView_);
  return true;
}

// --- the profile ---

void UserInfomationViewController::getUserInfomation() {
  auto self = me();
  AccountOperations::getUserInfo(*this, User::currentUser().loginName(), [self](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      if (reply.kind == AccountReply::Kind::NoConnection) {
        self->fetchFailed();
      }
      if (self->promptsOnWindow()) HudExt::prompt(account::replyPrompt(reply));
      return;
    }
    auto info = account::UserIdentityInfo::fromJson(reply.data);
    self->realNameStr_ = info.realName.value_or("");
    self->cardNumStr_ = info.idCardId.value_or("");
    self->emailStr_ = info.email.value_or("");
    self->name_ = self->realNameStr_;
    self->identityNumber_ = self->cardNumStr_;
    self->email_ = self->emailStr_;
    self->showMasked();
    self->authStatus(info.authStatus, info.authRemark);
    if (!info.picPaths.empty()) self->getUserIdCardImage(std::move(info.picPaths));
  });
}

void UserInfomationViewController::showMasked() {
  nameField_->setText(account::handelName(realNameStr_));
  identityNumberField_->setText(account::handelAccount(cardNumStr_));
  emailField_->setText(account::handelAccountWhere(emailStr_));
}

void UserInfomationViewController::showUnmasked() {
  nameField_->setText(realNameStr_);
  identityNumberField_->setText(cardNumStr_);
  emailField_->setText(emailStr_);
}

void UserInfomationViewController::setSaveButton(bool on) {
  if (!on) {
    navigationItem().setRightBarButtonItem(nullptr);
    return;
  }
  auto button = ButtonCreater::barButtonWithText(kSave);
  button->setTitleColor(platform::ui::Color::white());
  account::onTap(*button, me(), &UserInfomationViewController::saveUserInfomation);
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(button));
}

void UserInfomationViewController::setTip(std::string text, bool red, bool shortLabel) {
  tipLabel_->setText(std::move(text));
  if (red) tipLabel_->setTextColor(platform::ui::Color::rgb255(255, 0, 0));
  Rect frame = shortLabel ? tipLabel_->frame() : Rect{0, 0, 320, 63};
  if (shortLabel) frame.height = 30;
  tipLabel_->setFrame(frame);
}

void UserInfomationViewController::authStatus(const std::string& status, const std::string& remark) {
  auto enableFields = [this](bool on) {
    for (const auto* field : {&nameField_, &identityNumberField_, &emailField_}) (*field)->setEnabled(on);
  };
  if (status == "APPLY") {
    authStatus_ = kApply;
    setTip(kApplyText, true, true);
    enableFields(false);
    setSaveButton(false);
    psView_->setHidden(false);
  } else if (status == "REJECT") {
    authStatus_ = kReject;
    setTip(kRejectText + remark, true, false);
    enableFields(true);
    showUnmasked();
    setSaveButton(true);
    psView_->setHidden(true);
    button_->setIdPic(std::nullopt);
    button1_->setIdPic(std::nullopt);
  } else if (status == "PASS") {
    authStatus_ = kPass;
    setTip(kPassText, false, true);
    enableFields(false);
    setSaveButton(false);
    psView_->setHidden(false);
  } else {
    authStatus_ = kNone;
    setTip(kNoneText, true, true);
    showUnmasked();
    setSaveButton(true);
  }
  button_->setAuthStatus(authStatus_);
  button1_->setAuthStatus(authStatus_);
  auto footer = platform::ui::View::create(Rect{0, 0, 320, footerHeight()});
  footer->addSubview(tipLabel_);
  userInfoTableView_->setTableFooterView(footer);
  initWalletAgrement();
}

void UserInfomationViewController::say(std::string text) { showPrompt(std::move(text)); }

void UserInfomationViewController::say(std::string text, std::function<void()> follow) {
  showPrompt(std::move(text), std::move(follow));
}

void UserInfomationViewController::fetchFailed() {
  say(kFetchFailed);
  // The screen leaves 2 s later unless the user has already left it: the wait does not keep a
  // popped screen alive.
  std::weak_ptr<UserInfomationViewController> weak = me();
  platform::RunLoop::main().after(platform::secs(NVXViewController::kFollowSeconds), [weak] {
    auto self = weak.lock();
    if (!self) return;
    auto navigation = self->navigationController();
    if (navigation && navigation->topViewController() == self) navigation->pop(true);
  });
}

void UserInfomationViewController::resubmitted() {
  HudExt::prompt(kResubmitted);
  if (auto navigation = navigationController()) navigation->pop(true);
}

void UserInfomationViewController::initWalletAgrement() {
  auto footer = userInfoTableView_->tableFooterView();
  if (!footer) return;
  const double y = platform::u16len(tipLabel_->text()) <= 30 ? 35 : 55;
  auto self = me();
  agreementBtn_ = account::addButton(*footer, platform::ui::Button::create(), Rect{10, y, 20, 20}, self,
                                     &UserInfomationViewController::clickNVXArgeement);
  agreementBtn_->setImage(platform::ui::Image::named("check-on.png"));
  auto agree = platform::ui::Label::create(Rect{34, y - 5, 35, 30}, "同意");
  agree->setFont(platform::ui::Font::system(14));
  footer->addSubview(agree);
  auto link = account::addButton(*footer, platform::ui::Button::create(), Rect{23, y, 230, 21}, self,
                                 &UserInfomationViewController::agreeNVXWalletArgeement);
  link->setTitle(kWalletAgreement);
  link->setTitleFont(platform::ui::Font::system(14));
  link->setTitleColor(platform::ui::Color::rgb255(32, 162, 255));
  isShowPW_ = true;
}

void UserInfomationViewController::clickNVXArgeement() {
  agreementBtn_->setImage(platform::ui::Image::named(isShowPW_ ? "check-off.png" : "check-on.png"));
  isShowPW_ = !isShowPW_;
}

void UserInfomationViewController::agreeNVXWalletArgeement() {
  if (auto navigation = navigationController()) navigation->push(WalletProtocolViewController::create(), true);
}

void UserInfomationViewController::getUserIdCardImage(std::vector<std::string> names) {
  auto self = me();
  AccountOperations::getUserIdCardImages(*this, User::currentUser().loginName(), std::move(names),
                                         [self](AccountReply reply) {
                                           // Data that is no whole picture leaves its button as it was.
                                           const std::shared_ptr<IdentityCardPhotoButton>* buttons[] = {
                                               &self->button_, &self->button1_};
                                           size_t i = 0;
                                           for (const auto& body : reply.data) {
                                             if (i >= 2) break;
                                             auto picture = body.is_string()
                                                                ? account::decodePhoto(body.get<std::string>())
                                                                : std::nullopt;
                                             if (picture) {
                                               (*buttons[i])->setImage(*picture);
                                               (*buttons[i])->setIdPic(picture);
                                             }
                                             ++i;
                                           }
                                           if (reply.kind == AccountReply::Kind::NoConnection) {
                                             self->say(kPhotoFetchFailed);
                                           }
                                         });
}

// --- saving ---

double UserInfomationViewController::uploadQuality(const platform::ui::Image& picture) {
  const double longer = std::max(picture.size.width, picture.size.height);
  return longer > 600 ? 600 / longer : 0.5;
}

void UserInfomationViewController::saveUserInfomation() {
  touchUpInsideEndedCustomTableView(*userInfoTableView_);
  const char* refusal = nullptr;
  if (!isShowPW_) {
    say(kAgreementOff);
    return;
  }
  if (!button_->idPic() || !button1_->idPic()) refusal = "Error_UserIdInsufficiency";
  else if (name_.empty()) refusal = "Error_NameNotNull";
  else if (identityNumber_.empty()) refusal = "Error_IdNotNull";
  else if (email_.empty()) refusal = "Error_EmailNotNull";
  else if (!account::isSendableIdCardNumber(identityNumber_)) refusal = "Error_EnterId";
  // The whole text must be the address, not merely contain one.
  else if (!StringsTool::isValidateEmail(email_)) refusal = "Error_EnterEmail";
  if (refusal) {
    say(Strings::localized(refusal));
    return;
  }
  IdentityData data{User::currentUser().loginName(), name_, identityNumber_, email_};
  auto self = me();
  AccountOperations::updateUserInfo(*this, data, [self](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      self->say(account::replyPrompt(reply));
      return;
    }
    self->idCardImageUpload();
  });
}

void UserInfomationViewController::idCardImageUpload() {
  const auto& front = button_->idPic();
  const auto& back = button1_->idPic();
  auto frontJpeg = front ? account::photoJpeg(*front, uploadQuality(*front)) : std::nullopt;
  auto backJpeg = back ? account::photoJpeg(*back, uploadQuality(*back)) : std::nullopt;
  if (!frontJpeg || !backJpeg) {
    say(account::kPhotoUnreadable);
    return;
  }
  auto self = me();
  AccountOperations::idCardImageUpload(
      *this, User::currentUser().loginName(), std::move(*frontJpeg), std::move(*backJpeg), [self](AccountReply reply) {
        if (reply.kind == AccountReply::Kind::TokenHandled) return;
        if (!reply.ok()) {
          self->say(account::replyPrompt(reply));
          return;
        }
        self->say(self->savedText(), [self] {
          self->psView_->setHidden(false);
          self->setSaveButton(false);
          self->showMasked();
          self->setTip(kApplyText, false, true);
          self->resubmitted();
        });
      });
}

// --- re-login ---

void UserInfomationViewController::alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) {
  if (alertView.tag() != NVXResponseErrorHandler::kReloginAlertTag) {
    NVXViewController::alertViewClickedButtonAtIndex(alertView, index);
    return;
  }
  auto login = LoginViewController::create();
  login->setDelegate(std::weak_ptr<LoginViewControllerDelegate>(me()));
  login->setBoxTitle(kNoInformation);
  if (auto navigation = ownOrAppNavigationController()) navigation->push(login, true);
}

void UserInfomationViewController::gotoViewOfBoxTitle(const std::string& boxTitle) {
  if (boxTitle != kNoInformation) return;
  if (auto navigation = navigationController()) navigation->popToRoot(true);
}

}  // namespace nvx
