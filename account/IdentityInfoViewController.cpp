#include "account/IdentityInfoViewController.h"

#include "account/AccountForm.h"
#include "account/IdentityData.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/TableCellExt.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/StringsTool.h"
#include "net/DataStatistics.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using platform::ui::TextField;

namespace {

// Field tags: they select the value a field edits.
constexpr int kNameTag = 2;
constexpr int kNumberTag = 3;
constexpr int kEmailTag = 4;

bool isEmpty(const std::optional<std::string>& value) { return !value || value->empty(); }

}  // namespace

std::shared_ptr<IdentityInfoViewController> IdentityInfoViewController::create() {
  return std::make_shared<IdentityInfoViewController>();
}

std::shared_ptr<IdentityInfoViewController> IdentityInfoViewController::me() {
  return std::static_pointer_cast<IdentityInfoViewController>(self());
}

void IdentityInfoViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("UserProfile"));
  realName_.reset();
  idCardNumber_.reset();
  email_.reset();
  auto self = me();
  makeFields();
  table_ = account::addFormTable(self, false);

  auto footer = platform::ui::View::create(Rect{0, 0, 320, 100});
  auto agree = account::addButton(*footer, platform::ui::Button::create(), Rect{14, 6, 190, 30}, self,
                                  &IdentityInfoViewController::agreeNVXArgeement);
  agree->setTitle(kAgreeTitle);
  agree->setTitleFont(platform::ui::Font::system(14));
  agree->setTitleColor(platform::ui::Color::black());
  agree->setImage(platform::ui::Image::named("check-off.png"));
  agreeTick_ = platform::ui::Button::create(Rect{14, 6, 30, 30});
  agreeTick_->setImage(platform::ui::Image::named("check-on.png"));
  agreeTick_->setUserInteractionEnabled(false);
  agreeTick_->setHidden(true);
  footer->addSubview(agreeTick_);
  account::addButton(*footer, account::linkButton(kReadAgreement), Rect{210, 6, 90, 30}, self,
                     &IdentityInfoViewController::gotoReadAgreementView);
  account::addButton(*footer, ButtonCreater::bigButtonWithText(Strings::localized("Open")), Rect{9, 50, 302, 44}, self,
                     &IdentityInfoViewController::verifyUserInfo);
  table_->setTableFooterView(footer);

  if (User::currentUser().isLogined()) getUserInfomation();
}

void IdentityInfoViewController::makeFields() {
  auto delegate = std::weak_ptr<platform::ui::TextFieldDelegate>(me());
  const Rect frame{111, 8, 194, 30};
  nameField_ = account::formField(frame, Strings::localized("UserName"), kNameTag, delegate);
  numberField_ = account::formField(frame, Strings::localized("IdentityCardNumber"), kNumberTag, delegate);
  numberField_->setKeyboardType(platform::ui::KeyboardType::NumbersAndPunctuation);
  emailField_ = account::formField(frame, Strings::localized("EmailAddress"), kEmailTag, delegate);
  emailField_->setKeyboardType(platform::ui::KeyboardType::EmailAddress);
  emailField_->setReturnKeyType(platform::ui::ReturnKeyType::Default);
  auto controller = std::weak_ptr<platform::ui::ViewController>(me());
  frontButton_ = IdentityCardPhotoButton::create(platform::ui::Point{110, 3}, controller, std::nullopt);
  backButton_ = IdentityCardPhotoButton::create(platform::ui::Point{190, 3}, controller, std::nullopt);
}

// --- table ---

std::optional<int> IdentityInfoViewController::numberOfSections(platform::ui::TableView&) { return 2; }

int IdentityInfoViewController::numberOfRows(platform::ui::TableView&, int section) { return section == 0 ? 1 : 3; }

std::optional<double> IdentityInfoViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  return path.section == 0 ? 50 : 44;
}

std::optional<double> IdentityInfoViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == 0 ? 40 : 10;
}

std::shared_ptr<platform::ui::View> IdentityInfoViewController::viewForHeader(platform::ui::TableView&, int section) {
  if (section != 0) return nullptr;
  return account::sectionHeader(Strings::localized("UserProfileOpen"));
}

std::shared_ptr<platform::ui::TableViewCell> IdentityInfoViewController::cellForRow(platform::ui::TableView&,
                                                                                   platform::ui::IndexPath path) {
  auto cell = TableCellExt::defaultGroupTableCell();
  auto content = cell->contentView();
  if (path.section == 0) {
    content->addSubview(account::rowLabel(Strings::localized("IdPicTite")));
    content->addSubview(frontButton_);
    content->addSubview(backButton_);
    return cell;
  }
  static constexpr const char* kLabels[] = {"Name", "IdentityCardNumber", "Email"};
  const std::shared_ptr<TextField>* fields[] = {&nameField_, &numberField_, &emailField_};
  const int row = path.row >= 0 && path.row < 3 ? path.row : 0;
  content->addSubview(account::rowLabel(Strings::localized(kLabels[row])));
  content->addSubview(*fields[row]);
  return cell;
}

// --- fields ---

void IdentityInfoViewController::didBeginEditing(TextField& field) {
  switch (field.tag()) {
    case kNameTag: realName_.reset(); break;
    case kNumberTag: idCardNumber_.reset(); break;
    case kEmailTag: email_.reset(); break;
    default: break;
  }
  static constexpr double kOffsets[] = {20, 50, 100};
  if (table_ && field.tag() >= kNameTag && field.tag() <= kEmailTag) {
    table_->setContentOffset({0, kOffsets[field.tag() - kNameTag]}, true);
  }
}

void IdentityInfoViewController::didEndEditing(TextField& field) {
  switch (field.tag()) {
    case kNameTag: realName_ = field.text(); break;
    case kNumberTag: idCardNumber_ = field.text(); break;
    case kEmailTag: email_ = field.text(); break;
    default: break;
  }
  if (table_) table_->setContentOffset({0, 0}, true);
}

std::optional<bool> IdentityInfoViewController::shouldChangeCharacters(TextField& field, platform::Range16 range,
                                                      const std::string& replacement) {
  return field.tag() != kNameTag || account::realNameChangeAllowed(field.text(), range, replacement);
}

void IdentityInfoViewController::endAllEditing() {
  for (const auto* field : {&nameField_, &numberField_, &emailField_}) {
    if (*field && (*field)->isEditing()) (*field)->resignFirstResponder();
  }
}

std::optional<bool> IdentityInfoViewController::shouldReturn(TextField&) {
  endAllEditing();
  return true;
}

void IdentityInfoViewController::touchUpInsideEndedCustomTableView(CustomTableView&) { endAllEditing(); }

// --- loading ---

void IdentityInfoViewController::getUserInfomation() {
  auto self = me();
  AccountOperations::getUserInfo(*this, User::currentUser().loginName(), [self](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      self->showPrompt(account::replyPrompt(reply));
      return;
    }
    auto info = account::UserIdentityInfo::fromJson(reply.data);
    auto load = [](const std::shared_ptr<TextField>& field, std::optional<std::string>& value,
                   std::optional<std::string> loaded) {
      value = std::move(loaded);
      field->setText(value.value_or(""));
    };
    load(self->nameField_, self->realName_, info.realName);
    load(self->emailField_, self->email_, info.email);
    load(self->numberField_, self->idCardNumber_, info.idCardId);
    self->authStatus(info.authStatus, info.authRemark);
    if (!info.picPaths.empty()) self->getUserIdCardImage(std::move(info.picPaths));
  });
}

void IdentityInfoViewController::authStatus(const std::string& status, const std::string&) {
  static constexpr std::pair<const char*, int> kStates[] = {{"NONE", kNone}, {"APPLY", kApply}, {"REJECT", kReject},
                                                            {"PASS", kPass}};
  for (const auto& [name, state] : kStates) {
    if (status == name) authState_ = state;
  }
  // Data under review or confirmed cannot be changed here.
  const bool locked = authState_ == kApply || authState_ == kPass;
  for (const auto* field : {&nameField_, &numberField_, &emailField_}) (*field)->setEnabled(!locked);
  frontButton_->setAuthStatus(authState_);
  backButton_->setAuthStatus(authState_);
}

void IdentityInfoViewController::getUserIdCardImage(std::vector<std::string> names) {
  auto self = me();
  AccountOperations::getUserIdCardImages(*this, User::currentUser().loginName(), std::move(names),
                                         [self](AccountReply reply) {
                                           // The pictures are checked and decoded by the operation; what
                                           // arrived before a failure is still shown.
                                           const std::shared_ptr<IdentityCardPhotoButton>* buttons[] = {
                                               &self->frontButton_, &self->backButton_};
                                           size_t i = 0;
                                           bool complete = reply.ok();
                                           if (reply.data.is_array()) {
                                             for (const auto& body : reply.data) {
                                               if (i >= 2) break;
                                               if (!body.is_string()) {
                                                 complete = false;
                                                 ++i;
                                                 continue;
                                               }
                                               auto picture = account::decodePhoto(body.get<std::string>());
                                               (*buttons[i])->setIdPic(picture);
                                               if (picture) (*buttons[i])->setImage(*picture);
                                               ++i;
                                             }
                                           }
                                           if (!complete) self->showPrompt(kPhotoFetchFailed);
                                         });
}

// --- checks ---

std::optional<IdentityInfoViewController::Refusal> IdentityInfoViewController::checkIdentity(
    const std::optional<std::string>& realName, const std::optional<std::string>& idCardNumber,
    const std::optional<std::string>& email) {
  if (isEmpty(realName)) return Refusal{Strings::localized("Error_Name"), Strings::localized("Error_NameNotNull")};
  if (isEmpty(idCardNumber)) return Refusal{"", kNumberMissing};
  if (!account::isSendableIdCardNumber(*idCardNumber)) {
    return Refusal{Strings::localized("Error_Id"), Strings::localized("Error_EnterId")};
  }
  if (isEmpty(email)) return Refusal{"", kEmailMissing, true};
  // The whole text must be the address: "x a@b.cn y" is not an e-mail address to send.
  if (!StringsTool::isValidateEmail(*email)) {
    return Refusal{Strings::localized("Error_Email"), Strings::localized("Error_EnterEmail"), true};
  }
  return std::nullopt;
}

void IdentityInfoViewController::showAlert(std::string title, std::string message) {
  platform::ui::AlertView::create(std::move(title), std::move(message), Strings::localized("Ok"))->show();
}

void IdentityInfoViewController::verifyUserInfo() {
  endAllEditing();
  if (auto refusal = checkIdentity(realName_, idCardNumber_, email_)) {
    if (refusal->reenableEmail) emailField_->setEnabled(true);
    showAlert(refusal->title, refusal->message);
    return;
  }
  if (!isAgreed()) {
    auto alert = platform::ui::AlertView::create(Strings::localized("Title"), kAgreementQuestion, std::string(kDisagree),
                                                 {kAgree});
    alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(me()));
    alert->show();
    return;
  }
  theNextStep();
}

void IdentityInfoViewController::alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) {
  NVXViewController::alertViewClickedButtonAtIndex(alertView, index);
  if (index == 1 && agreeTick_) agreeTick_->setHidden(false);
}

void IdentityInfoViewController::agreeNVXArgeement() { agreeTick_->setHidden(!agreeTick_->isHidden()); }

void IdentityInfoViewController::gotoReadAgreementView() {
  auto screen = ScreenRegistry::shared().create(kAgreementScreen);
  if (!screen) return;  // the agreement screen is not registered (logged)
  if (auto navigation = navigationController()) navigation->push(screen, true);
}

// --- opening the reader service ---

void IdentityInfoViewController::theNextStep() {
  auto self = me();
  swiperValid([self](bool ready) {
    if (ready) self->bindReader();
  });
}

void IdentityInfoViewController::bindReader() {
  const User& user = User::currentUser();
  const DataStatistics& statistics = DataStatistics::sharedDataStatistics();
  ReaderBinding binding;
  binding.identity = IdentityData{user.loginName(), realName_.value_or(""), idCardNumber_.value_or(""), email_};
  binding.psamNo = user.psamId();
  binding.telecomOperators = statistics.IMSISubFive().value_or("");
  binding.mobilePhoneModel = statistics.getDeviceVersion();
  auto self = me();
  // The binding waits up to 60 s: it runs on a worker behind the spinner, never on the main loop.
  AccountOperations::bindPsamCardToUser(*this, binding, [self](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      self->statusClear();
      self->showPrompt(account::replyPrompt(reply));
      return;
    }
    self->showPrompt(kOpened, [self] { self->updateProfile(); });
  });
}

void IdentityInfoViewController::updateProfile() {
  IdentityData data{User::currentUser().loginName(), nameField_->text(), idCardNumber_.value_or(""), std::nullopt};
  if (!emailField_->text().empty()) data.email = email_.value_or(emailField_->text());
  auto self = me();
  AccountOperations::updateUserInfo(*this, data, [self](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) {
      self->popToRoot();
      return;
    }
    if (!reply.ok()) {
      self->showPrompt(account::replyPrompt(reply));
      if (reply.kind != AccountReply::Kind::NoConnection) self->statusClear();
      self->popToRoot();
      return;
    }
    self->idCardImageUpload();
  });
}

std::optional<std::string> IdentityInfoViewController::uploadJpeg(const platform::ui::Image& picture) {
  return account::photoJpeg(picture, kUploadQuality);
}

void IdentityInfoViewController::idCardImageUpload() {
  const auto& front = frontButton_->idPic();
  const auto& back = backButton_->idPic();
  if (!front || !back) {
    popToRoot();
    returnToCallingApp();
    return;
  }
  auto frontJpeg = uploadJpeg(*front);
  auto backJpeg = uploadJpeg(*back);
  if (!frontJpeg || !backJpeg) {
    showPrompt(account::kPhotoUnreadable);
    return;
  }
  auto self = me();
  AccountOperations::idCardImageUpload(*this, User::currentUser().loginName(), std::move(*frontJpeg),
                                       std::move(*backJpeg), [self](AccountReply reply) {
                                         if (reply.kind == AccountReply::Kind::TokenHandled) return;
                                         if (!reply.ok()) {
                                           self->showPrompt(account::replyPrompt(reply));
                                           return;
                                         }
                                         self->showPrompt(Strings::localized("Success_ModifyUserInfo"), [self] {
                                           if (auto navigation = self->navigationController()) navigation->pop(true);
                                           self->returnToCallingApp();
                                         });
                                       });
}

void IdentityInfoViewController::popToRoot() {
  if (auto navigation = navigationController()) navigation->popToRoot(true);
}

void IdentityInfoViewController::returnToCallingApp() {
  auto& services = AppServices::current();
  if (services.isOtherAppLaunching()) services.returnToCallingApp(false);
}

}  // namespace nvx
