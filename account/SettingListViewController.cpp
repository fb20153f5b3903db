#include "account/SettingListViewController.h"

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "account/IdentityData.h"
#include "account/LoginViewController.h"
#include "account/UserInfomationViewController.h"
#include "account/WhiteListViewController.h"
#include "app/ui/HudExt.h"
#include "app/ui/TableCellExt.h"
#include "app/ui/ViewTool.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;

std::optional<WhiteListQuery> WhiteListQuery::initWithJson(const platform::Json& json) {
  WhiteListQuery query;
  if (!json.is_object() || !json.contains("status") || json["status"].is_null()) return query;
  if (!json["status"].is_string()) return std::nullopt;
  query.status = json["status"].get<std::string>();
  return query;
}

platform::Json WhiteListQuery::archive() const {
  platform::Json json = platform::Json::object();
  if (status) json[kArchiveKey] = *status;
  return json;
}

WhiteListQuery WhiteListQuery::unarchive(const platform::Json& archived) {
  WhiteListQuery query;
  if (archived.is_object() && archived.contains(kArchiveKey) && archived[kArchiveKey].is_string()) {
    query.status = archived[kArchiveKey].get<std::string>();
  }
  return query;
}

std::shared_ptr<SettingListViewController> SettingListViewController::create() {
  return std::make_shared<SettingListViewController>();
}

std::shared_ptr<SettingListViewController> SettingListViewController::me() {
  return std::static_pointer_cast<SettingListViewController>(self());
}

void SettingListViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  account::addFormTable(me(), false);
}

std::optional<int> SettingListViewController::numberOfSections(platform::ui::TableView&) { return 2; }
int SettingListViewController::numberOfRows(platform::ui::TableView&, int) { return 1; }
std::optional<double> SettingListViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  return path.section == 0 ? 44 : 70;
}
std::optional<double> SettingListViewController::heightForHeader(platform::ui::TableView&, int) { return 20; }

std::shared_ptr<platform::ui::TableViewCell> SettingListViewController::cellForRow(platform::ui::TableView&,
                                                                                  platform::ui::IndexPath path) {
  auto cell = TableCellExt::defaultGroupTableCell();
  cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
  auto title = platform::ui::Label::create(Rect{20, 10, 260, 24}, path.section == 0 ? kProfileRow : kUpgradeRow);
  cell->contentView()->addSubview(title);
  if (path.section == 1) {
    auto hint = platform::ui::Label::create(Rect{20, 38, 260, 20}, kUpgradeHint);
    hint->setFont(platform::ui::Font::system(14));
    hint->setTextColor(platform::ui::Color::gray(0.6));
    cell->contentView()->addSubview(hint);
  }
  return cell;
}

void SettingListViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, true);
  if (path.section == 1) {
    gotoWhiteList();
  } else if (User::currentUser().isLogined()) {
    pushOnApp(UserInfomationViewController::create());
  } else {
    pushLogin(kInfomation);
  }
}

void SettingListViewController::pushOnApp(const std::shared_ptr<platform::ui::ViewController>& screen) {
  if (auto navigation = AppServices::current().navigationController()) navigation->push(screen, true);
}

void SettingListViewController::pushLogin(const char* boxTitle) {
  auto login = LoginViewController::create();
  login->setBoxTitle(boxTitle);
  login->setDelegate(std::weak_ptr<LoginViewControllerDelegate>(me()));
  pushOnApp(login);
}

void SettingListViewController::gotoViewOfBoxTitle(const std::string& boxTitle) {
  if (boxTitle == kInfomation) {
    keepAlive_.reset();
    pushOnApp(UserInfomationViewController::create());
  } else if (boxTitle == kUpgrade) {
    loadIdentityState();
  }
}

void SettingListViewController::gotoWhiteList() {
  keepAlive_ = me();
  if (!User::currentUser().isLogined()) {
    pushLogin(kUpgrade);
    return;
  }
  loadIdentityState();
}

void SettingListViewController::loadIdentityState() {
  auto self = me();
  keepAlive_ = self;
  AccountOperations::getUserInfo(*this, User::currentUser().loginName(), [self](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::NoConnection || !reply.ok()) {
      self->keepAlive_.reset();
      if (reply.kind == AccountReply::Kind::NoConnection) self->showPrompt(kFetchFailed);
      else if (reply.kind != AccountReply::Kind::TokenHandled) self->showPrompt(account::replyPrompt(reply));
      return;
    }
    const std::string state = account::UserIdentityInfo::fromJson(reply.data).authStatus;
    if (state == "PASS" || state == "APPLY") {
      self->queryUpgradeState();
      return;
    }
    auto alert = platform::ui::AlertView::create("提示", kIncompleteMessage, std::string(kLater), {kComplete});
    alert->setTag(kIncompleteAlertTag);
    alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(self));
    alert->show();
  });
}

void SettingListViewController::alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) {
  if (alertView.tag() != kIncompleteAlertTag) {
    NVXViewController::alertViewClickedButtonAtIndex(alertView, index);
    return;
  }
  auto hold = std::move(keepAlive_);
  if (index != 1) return;  // "以后再说"
  if (User::currentUser().isLogined()) {
    pushOnApp(UserInfomationViewController::create());
  } else {
    keepAlive_ = hold;
    pushLogin(kInfomation);
  }
}

void SettingListViewController::queryUpgradeState() {
  auto self = me();
  AccountOperations::securityLevelUpQuery(*this, User::currentUser().loginName(), [self](AccountReply reply) {
    self->keepAlive_.reset();
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      HudExt::prompt(account::replyPrompt(reply));
      return;
    }
    // "0000" without data: the reply reader's "no data" text.
    if (!reply.data.is_object()) {
      HudExt::prompt(Strings::localized(reply.data.is_string() ? "ReturnDataIsNil" : "Error_Data"));
      return;
    }
    auto query = WhiteListQuery::initWithJson(reply.data);
    if (!query) {
      HudExt::prompt(Strings::localized("Error_Data"));
      return;
    }
    const std::string status = query->status.value_or("");
    if (status == "PASS" || status == "APPLY") {
      platform::ui::AlertView::create("提示", status == "PASS" ? kGranted : kWaiting, std::string(kUnderstood))->show();
      return;
    }
    self->pushOnApp(WhiteListViewController::create());
  });
}

}  // namespace nvx
