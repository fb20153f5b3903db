#include "account/WhiteListViewController.h"

#include <algorithm>

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "app/ui/TableCellExt.h"
#include "core/session/User.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Toolbar.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;

std::shared_ptr<WhiteListViewController> WhiteListViewController::create() {
  return std::make_shared<WhiteListViewController>();
}

void WhiteListViewController::viewDidLoad() {
  UserInfomationViewController::viewDidLoad();
  setTitle(kTitle);
  tipLabel_->setHidden(true);
  auto header = platform::ui::View::create(Rect{0, 0, 320, 40});
  auto text = platform::ui::Label::create(Rect{15, 0, 290, 40}, kHeader);
  text->setFont(platform::ui::Font::system(14));
  text->setTextColor(platform::ui::Color::gray(0.6));
  text->setNumberOfLines(0);
  header->addSubview(text);
  userInfoTableView_->setTableHeaderView(header);

  reasonView_ = platform::ui::TextView::create(Rect{10, 5, 280, 105});
  reasonView_->setFont(platform::ui::Font::system(16));
  reasonView_->setDelegate(std::weak_ptr<platform::ui::TextViewDelegate>(
      std::static_pointer_cast<WhiteListViewController>(self())));
  std::weak_ptr<platform::ui::TextView> weakReason = reasonView_;
  auto bar = platform::ui::Toolbar::create(Rect{0, 0, 320, 44});
  bar->setItems({platform::ui::BarButtonItem::withSystemItem(platform::ui::BarButtonSystemItem::FlexibleSpace),
                 platform::ui::BarButtonItem::withTitle(Strings::localized("Done"), [weakReason](platform::ui::BarButtonItem&) {
                   if (auto reason = weakReason.lock()) reason->resignFirstResponder();
                 })});
  reasonView_->setInputAccessoryView(bar);
  placeholder_ = platform::ui::Label::create(Rect{18, 12, 260, 20}, kReasonPlaceholder);
  placeholder_->setFont(platform::ui::Font::system(16));
  placeholder_->setTextColor(platform::ui::Color::gray(0.7));
  userInfoTableView_->reloadData();
}

std::optional<int> WhiteListViewController::numberOfSections(platform::ui::TableView&) { return 3; }

int WhiteListViewController::numberOfRows(platform::ui::TableView&, int section) { return section == 1 ? 2 : 1; }

std::optional<double> WhiteListViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  static constexpr double kHeights[] = {50, 44, 115};
  return kHeights[std::clamp(path.section, 0, 2)];
}

std::optional<double> WhiteListViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == 0 ? 0 : 10;
}

std::optional<double> WhiteListViewController::heightForFooter(platform::ui::TableView&, int section) {
  return section == 2 ? 60 : 0;
}

std::shared_ptr<platform::ui::View> WhiteListViewController::viewForFooter(platform::ui::TableView&, int section) {
  if (section != 2) return nullptr;
  auto footer = platform::ui::View::create(Rect{0, 0, 320, 60});
  account::addButton(*footer, ButtonCreater::bigButtonWithText(kSubmit), Rect{9, 10, 302, 44},
                     std::static_pointer_cast<WhiteListViewController>(self()), &WhiteListViewController::submit);
  return footer;
}

std::shared_ptr<platform::ui::TableViewCell> WhiteListViewController::cellForRow(platform::ui::TableView& table,
                                                                                platform::ui::IndexPath path) {
  if (path.section == 1) return UserInfomationViewController::cellForRow(table, {1, path.row});
  if (path.section == 0) return UserInfomationViewController::cellForRow(table, {0, 0});
  auto cell = TableCellExt::defaultGroupTableCell();
  cell->contentView()->addSubview(reasonView_);
  cell->contentView()->addSubview(placeholder_);
  return cell;
}

void WhiteListViewController::touchUpInsideEndedCustomTableView(CustomTableView& table) {
  UserInfomationViewController::touchUpInsideEndedCustomTableView(table);
  if (reasonView_->isFirstResponder()) reasonView_->resignFirstResponder();
  userInfoTableView_->setContentOffset({0, 60}, true);
}

void WhiteListViewController::didBeginEditing(platform::ui::TextView&) {
  userInfoTableView_->setContentOffset({0, 200}, true);
}

void WhiteListViewController::didEndEditing(platform::ui::TextView&) {
  userInfoTableView_->setContentOffset({0, 60}, true);
}

void WhiteListViewController::didChange(platform::ui::TextView& textView) {
  placeholder_->setHidden(!textView.text().empty());
}

void WhiteListViewController::submit() {
  // Only the empty text is refused: a reason of spaces is sent as typed.
  const std::string reason = reasonView_->text();
  if (reason.empty()) {
    HudExt::prompt(kReasonMissing);
    return;
  }
  auto self = std::static_pointer_cast<WhiteListViewController>(this->self());
  AccountOperations::securityLevelUpApply(*this, User::currentUser().loginName(), reason, [self](AccountReply reply) {
    if (reply.kind == AccountReply::Kind::TokenHandled) return;
    if (!reply.ok()) {
      HudExt::prompt(account::replyPrompt(reply));
      return;
    }
    // "0000" with or without data: the application is in.
    if (auto navigation = self->navigationController()) navigation->push(WhiteResultViewController::create(), true);
  });
}

void WhiteResultViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(nullptr);
  navigationItem().setHidesBackButton(true);
  auto box = platform::ui::View::create(Rect{10, 20, 300, 90});
  box->setBackgroundColor(platform::ui::Color::white());
  box->layer().borderWidth = 1;
  box->layer().borderColor = platform::ui::Color::gray(0.8);
  box->layer().cornerRadius = 6;
  auto text = platform::ui::Label::create(Rect{10, 5, 280, 80}, kMessage);
  text->setFont(platform::ui::Font::system(14));
  text->setNumberOfLines(0);
  box->addSubview(text);
  view()->addSubview(box);
  account::addButton(*view(), ButtonCreater::bigButtonWithText(kDone), Rect{9, 130, 302, 44},
                     std::static_pointer_cast<WhiteResultViewController>(self()), &WhiteResultViewController::done);
}

void WhiteResultViewController::done() {
  if (auto navigation = navigationController()) navigation->popToRoot(true);
}

}  // namespace nvx
