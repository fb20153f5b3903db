#include "home/MoreViewController.h"

#include "app/ui/BarButtonItemExt.h"
#include "app/ui/HudExt.h"
#include "app/ui/IdentityInfoScreen.h"
#include "core/session/NVXData.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "net/DataStatistics.h"
#include "net/NetUiHooks.h"
#include "net/RequestSession.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

namespace nvx {

namespace ui = platform::ui;
using platform::Json;
using platform::Strings;
using ui::Rect;

namespace {

constexpr std::string_view kLog = "more";

using Action = void (MoreViewController::*)();
const std::map<std::string, Action>& actions() {
  static const std::map<std::string, Action> kActions{
      {"handleLogin", &MoreViewController::handleLogin},
      {"handleModifyPassword", &MoreViewController::handleModifyPassword},
      {"handleFeedBack", &MoreViewController::handleFeedBack},
      {"handleMark", &MoreViewController::handleMark},
      {"handleCarRent", &MoreViewController::handleCarRent},
      {"handleStartNuvexaSwiper", &MoreViewController::handleStartNuvexaSwiper},
      {"handleAboutUs", &MoreViewController::handleAboutUs},
      {"handleNuvexaServiceProtocol", &MoreViewController::handleNuvexaServiceProtocol},
      {"handleUpdateClient", &MoreViewController::handleUpdateClient},
  };
  return kActions;
}

const Json* listAt(const Json& object, std::string_view key) {
  const Json* list = object.is_object() ? platform::json::member(object, key) : nullptr;
  return list && list->is_array() ? list : nullptr;
}

}  // namespace

std::shared_ptr<MoreViewController> MoreViewController::create() { return std::make_shared<MoreViewController>(); }

// --- building ---

void MoreViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("More"));
  if (configs_.is_null()) configs_ = NVXData::sharedNVXData().moreInfoConfigs();
  const Rect screen = ui::Screen::bounds();
  mainTable_ = ui::TableView::create(Rect{0, 0, screen.width, screen.height - kBarsHeight}, ui::TableViewStyle::Grouped);
  mainTable_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(me()));
  mainTable_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(me()));
  view()->addSubview(mainTable_);
  setRightBarButtonItem();
}

void MoreViewController::viewWillAppear(bool animated) {
  NVXViewController::viewWillAppear(animated);
  setRightBarButtonItem();
  if (mainTable_) mainTable_->reloadData();
}

void MoreViewController::setRightBarButtonItem() {
  const std::weak_ptr<MoreViewController> weak = me();
  const char* key = User::currentUser().isLogined() ? "Logout" : "Login";
  navigationItem().setRightBarButtonItem(BarButtonItemExt::defaultNavBarButtonItem(key, this, [weak](ui::Control&) {
    if (auto screen = weak.lock()) screen->rightBarButtonAction();
  }));
}

void MoreViewController::rightBarButtonAction() {
  if (!User::currentUser().isLogined()) {
    pushLogin(Strings::localized("More"));
    return;
  }
  auto alert = ui::AlertView::create(kLogoutTitle, kLogoutMessage, std::string(kCancelButton), {kOkButton});
  alert->setTag(kLogoutTag);
  alert->setDelegate(std::static_pointer_cast<ui::AlertViewDelegate>(me()));
  alert->show();
}

// --- table ---

const Json* MoreViewController::rowAt(ui::IndexPath path) const {
  const Json* sections = listAt(configs_, "sections");
  if (!sections || path.section < 0 || static_cast<size_t>(path.section) >= sections->size()) return nullptr;
  const Json* rows = listAt((*sections)[static_cast<size_t>(path.section)], "rows");
  if (!rows || path.row < 0 || static_cast<size_t>(path.row) >= rows->size()) return nullptr;
  return &(*rows)[static_cast<size_t>(path.row)];
}

std::optional<int> MoreViewController::numberOfSections(ui::TableView&) {
  const Json* sections = listAt(configs_, "sections");
  return sections ? static_cast<int>(sections->size()) : 0;
}

int MoreViewController::numberOfRows(ui::TableView&, int section) {
  const Json* sections = listAt(configs_, "sections");
  if (!sections || section < 0 || static_cast<size_t>(section) >= sections->size()) return 0;
  const Json* rows = listAt((*sections)[static_cast<size_t>(section)], "rows");
  return rows ? static_cast<int>(rows->size()) : 0;
}

std::shared_ptr<ui::TableViewCell> MoreViewController::cellForRow(ui::TableView&, ui::IndexPath path) {
  auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Value1, "Identfier");
  cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
  cell->setBackgroundColor(ui::Color::white());
  const Json* row = rowAt(path);
  const std::string key = row ? platform::json::textOnly(*row, "text").value_or("") : "";
  auto label = cell->textLabel();
  label->setText(Strings::localized(key));
  label->setFont(ui::Font::system(16));
  label->setTextColor(ui::Color::gray(0.2));
  return cell;
}

std::optional<double> MoreViewController::heightForHeader(ui::TableView&, int section) {
  return section == 0 ? std::optional<double>(20) : std::nullopt;
}

std::shared_ptr<ui::View> MoreViewController::viewForHeader(ui::TableView&, int section) {
  if (section != 0) return nullptr;
  auto header = ui::View::create(Rect{0, 0, 320, 20});
  header->setBackgroundColor(ui::Color::clear());
  return header;
}

void MoreViewController::didSelectRow(ui::TableView& table, ui::IndexPath path) {
  const Json* row = rowAt(path);
  const std::string name = row ? platform::json::textOnly(*row, "action").value_or("") : "";
  performAction(name);
  table.deselectRow(path, false);
}

bool MoreViewController::performAction(const std::string& name) {
  auto it = actions().find(name);
  if (it == actions().end()) {
    platform::log::warning(kLog, "a More row names an unknown action \"" + name + "\": nothing done");
    return false;
  }
  (this->*(it->second))();
  return true;
}

// --- navigation ---

void MoreViewController::push(const std::shared_ptr<ui::ViewController>& screen) {
  if (!screen) return;
  if (auto nav = AppServices::current().navigationController()) nav->push(screen, true);
}

void MoreViewController::pushNamed(const std::string& className) { push(ScreenRegistry::shared().create(className)); }

void MoreViewController::pushLogin(const std::string& boxTitle) {
  auto login = LoginScreen::create();
  if (auto* configurable = dynamic_cast<LoginScreen*>(login.get())) {
    configurable->setBoxTitle(boxTitle);
    configurable->setDelegate(std::static_pointer_cast<LoginViewControllerDelegate>(me()));
  }
  push(login);
}

void MoreViewController::handleLogin() {
  if (User::currentUser().isLogined()) return pushNamed("UserInfomationViewController");
  pushLogin(Strings::localized("UserProfile"));
}

void MoreViewController::handleModifyPassword() {
  if (User::currentUser().isLogined()) return pushNamed("ModifyPasswordViewController");
  pushLogin(Strings::localized("ModifyPassword"));
}

void MoreViewController::handleFeedBack() { pushNamed("FeedBackViewController"); }

void MoreViewController::handleMark() {
  if (!ui::Application::shared().openURL(kReviewPage)) platform::log::info(kLog, "the review page could not be opened");
}

void MoreViewController::handleCarRent() { pushNamed("SZRentCarViewContrllerViewController"); }

void MoreViewController::handleStartNuvexaSwiper() {
  DataStatistics::sharedDataStatistics().stepRecord("GENGDUO_4");
  theNextStep();
}

void MoreViewController::handleAboutUs() { pushNamed("AboutUsViewController"); }

void MoreViewController::handleNuvexaServiceProtocol() { pushNamed("AgreementViewController"); }

void MoreViewController::handleUpdateClient() { clientUpgradeAlert(); }

void MoreViewController::gotoViewOfBoxTitle(const std::string& boxTitle) {
  if (boxTitle == Strings::localized("UserProfile")) return pushNamed("UserInfomationViewController");
  if (boxTitle == Strings::localized("PushNotifications")) return pushNamed("ManageReminderViewController");
  if (boxTitle == Strings::localized("ModifyPassword")) return pushNamed("ModifyPasswordViewController");
}

// --- the upgrade check ---

void MoreViewController::clientUpgradeAlert() {
  HudExt::show();
  const auto self = me();
  HomeServiceOperations::checkClientVersion([self](HomeServiceOperations::VersionCheck check) {
    HudExt::hide();
    using Kind = HomeServiceOperations::VersionCheck::Kind;
    switch (check.kind) {
      case Kind::NetworkFailed:
        self->showPrompt(Strings::localized("NetworkConnectionFailed"));
        return;
      case Kind::Latest:
        self->showPrompt(Strings::localized("LatestVersion"));
        return;
      case Kind::Optional:
      case Kind::Forced: {
        const bool forced = check.kind == Kind::Forced;
        auto alert = forced ? ui::AlertView::create(check.title, check.message, std::nullopt, {kOkButton})
                            : ui::AlertView::create(check.title, check.message, std::string(kLaterButton), {kUpdateButton});
        alert->setTag(forced ? kForcedUpgradeTag : kOptionalUpgradeTag);
        alert->setDelegate(std::static_pointer_cast<ui::AlertViewDelegate>(self));
        alert->show();
        return;
      }
    }
  });
}

void MoreViewController::alertViewClickedButtonAtIndex(ui::AlertView& alertView, int index) {
  switch (alertView.tag()) {
    case kOptionalUpgradeTag:
      if (index == 1) ui::Application::shared().openURL(kAppStorePage);
      return;
    case kForcedUpgradeTag:
      ui::Application::shared().openURL(kAppStorePage);
      return;
    case kLogoutTag:
      if (index == 1) {
        User::currentUser().outOfLogin();
        setRightBarButtonItem();
      }
      return;
    default:
      NVXViewController::alertViewClickedButtonAtIndex(alertView, index);
  }
}

// --- opening a reader for the user ---

void MoreViewController::theNextStep() {
  if (!User::currentUser().isLogined()) {
    pushLogin(Strings::localized("OpenNuvexa"));
    return;
  }
  AppServices::current().setSwiperListener(std::static_pointer_cast<reader::CSwiperControllerDelegate>(me()));
  const std::weak_ptr<MoreViewController> weak = me();
  swiperValid([weak](bool ready) {
    auto self = weak.lock();
    if (!self || !ready) return;
    // Asked on a worker behind the spinner; the session is read here, on the main thread.
    const RequestSession session = RequestSession::capture();
    const std::string psamId = User::currentUser().psamId();
    auto owner = std::make_shared<HomeServiceOperations::ReaderOwner>();
    self->showSpinnerInView(
        self->view(), [owner, psamId, session] { *owner = HomeServiceOperations::getMobileByPsamNo(psamId, session); },
        [weak, owner] {
          if (auto screen = weak.lock()) screen->readerOwnerAnswered(*owner);
        });
  });
}

void MoreViewController::readerOwnerAnswered(const HomeServiceOperations::ReaderOwner& owner) {
  using Kind = HomeServiceOperations::ReaderOwner::Kind;
  switch (owner.kind) {
    case Kind::NetworkFailed:
      showPrompt(Strings::localized("NetworkConnectionFailed"));
      return;
    case Kind::Failed:
      showPrompt(owner.message.empty() ? Strings::localized("Error_Unknown") : owner.message);
      return;
    case Kind::TokenExpired:
      NetUiHooks::expiredLoginShownOn(owner.code, owner.message, me(), {});
      return;
    case Kind::Opened:
      ui::AlertView::create("", Strings::localized("SwipeOpened"), std::string(Strings::localized("Ok")))->show();
      return;
    case Kind::NotOpened:
      break;
  }
  AppServices::current().setSwiperListener({});
  auto screen = ScreenRegistry::shared().create(IdentityInfoScreen::kClassName);
  if (!screen) return;
  if (auto* identity = dynamic_cast<IdentityInfoScreen*>(screen.get())) {
    identity->setPhoneNum(User::currentUser().loginName());
    identity->setType(IdentityInfoScreen::kBindReaderType);
  }
  push(screen);
}

}  // namespace nvx
