#include "home/MoreView.h"

#include "app/ui/ColorExt.h"
#include "app/ui/DownloadServerConfig.h"
#include "app/ui/HudExt.h"
#include "app/ui/NVXBaseProtocolViewController.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

namespace {

std::shared_ptr<ui::TableView> plainTable(Rect frame) {
  auto table = ui::TableView::create(frame, ui::TableViewStyle::Plain);
  table->setScrollEnabled(false);
  table->setBackgroundColor(ui::Color::white());
  table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::SingleLine);
  table->setSeparatorColor(ColorExt::colorFromHexRGB("ECF0F1"));
  return table;
}

void push(const std::shared_ptr<ui::ViewController>& screen) {
  if (!screen) return;
  if (auto nav = AppServices::current().navigationController()) nav->push(screen, true);
}

void pushNamed(const std::string& className) { push(ScreenRegistry::shared().create(className)); }

}  // namespace

std::shared_ptr<MoreView> MoreView::initWithFrame(Rect frame) {
  auto view = std::make_shared<MoreView>(frame);
  view->setBackgroundColor(ui::Color::clear());
  const double H = ui::Screen::bounds().height;
  view->scroll_ = ui::ScrollView::create(Rect{0, 0, 320, H - 20});
  view->scroll_->setContentSize(ui::Size{320, 500});
  view->scroll_->setShowsHorizontalScrollIndicator(false);
  view->addSubview(view->scroll_);
  view->firstTable_ = plainTable(Rect{10, 48, 300, 132});
  view->secondTable_ = plainTable(Rect{10, 196, 300, 240});
  for (const auto& table : {view->firstTable_, view->secondTable_}) {
    table->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(view));
    table->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(view));
    view->scroll_->addSubview(table);
  }
  view->loginNamelb_ = ui::Label::create(Rect{170, 8, 100, 25});
  view->loginNamelb_->setTextAlignment(ui::TextAlignment::Right);
  view->moreCtrl_ = MoreViewController::create();
  view->setTitleArray();
  view->resetLoginNameLb();
  return view;
}

void MoreView::setTitleArray() {
  imageArray_ = {"login.png", "password_management.png", "personal_settings.png"};
  titleArray_ = {User::currentUser().isLogined() ? kLogout : kLogin, "密码管理", "用户信息"};
  title2Array_ = {kHelpTitle, "意见反馈", "申请更多服务", "检查更新", "关注诺维萨", "关于我们"};
}

void MoreView::resetLoginNameLb() {
  const User& user = User::currentUser();
  loginNamelb_->setText(user.isLogined() ? user.loginName() : kLogin);
}

// --- tables ---

int MoreView::numberOfRows(ui::TableView& table, int) { return &table == firstTable_.get() ? 3 : 6; }

std::optional<double> MoreView::heightForRow(ui::TableView& table, ui::IndexPath) {
  return &table == firstTable_.get() ? 44 : 40;
}

std::shared_ptr<ui::TableViewCell> MoreView::cellForRow(ui::TableView& table, ui::IndexPath path) {
  auto cell = ui::TableViewCell::create();
  cell->setBackgroundColor(ui::Color::white());
  cell->setSelectionStyle(ui::TableViewCellSelectionStyle::Blue);
  cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
  auto text = cell->textLabel();
  text->setTextAlignment(ui::TextAlignment::Left);
  text->setFont(ui::Font::system(16));
  const auto row = static_cast<size_t>(path.row);
  if (&table == secondTable_.get()) {
    if (row < title2Array_.size()) text->setText(title2Array_[row]);
    return cell;
  }
  if (row >= titleArray_.size()) return cell;
  auto icon = ui::ImageView::create(ui::Image::named(imageArray_[row]));
  icon->setFrame(Rect{10, 10, 24, 24});
  cell->contentView()->addSubview(icon);
  if (row == 0) {
    cell->contentView()->addSubview(loginNamelb_);
  } else {
    auto label = ui::Label::create(Rect{170, 8, 100, 25}, titleArray_[row]);
    label->setTextAlignment(ui::TextAlignment::Right);
    cell->contentView()->addSubview(label);
  }
  if (row == 2) cell->setBackgroundView(ui::View::create(Rect{0, 0, 300, 32}));
  return cell;
}

void MoreView::didSelectRow(ui::TableView& table, ui::IndexPath path) {
  if (&table == firstTable_.get()) {
    switch (path.row) {
      case 0:
        if (User::currentUser().isLogined()) {
          handleLogout();
        } else {
          pushLogin(kLoginOutTitle);
        }
        break;
      case 1: handlePasswordManage(); break;
      case 2: handleUserProfile(); break;
      default: break;
    }
  } else {
    switch (path.row) {
      case 0: help(); break;
      case 1: handleFeedBack(); break;
      case 2: applayMoreServer(); break;
      case 3: handleUpdateClient(); break;
      case 4: handlePresentMap(); break;
      case 5: handleAboutUs(); break;
      default: break;
    }
  }
  table.deselectRow(path, true);
}

// --- actions ---

void MoreView::pushLogin(const std::string& boxTitle) {
  auto login = LoginScreen::create();
  if (auto* configurable = dynamic_cast<LoginScreen*>(login.get())) {
    configurable->setBoxTitle(boxTitle);
    configurable->setDelegate(std::static_pointer_cast<LoginViewControllerDelegate>(self()));
  }
  push(login);
}

void MoreView::handleLogout() {
  if (!User::currentUser().isLogined()) return;
  User::currentUser().outOfLogin();
  HudExt::prompt(kLoggedOutPrompt);
  if (auto nav = AppServices::current().navigationController()) nav->popToRoot(true);
  loginNamelb_->setText(kLogin);
  setTitleArray();
  if (walletRebuild) walletRebuild();
}

void MoreView::handlePasswordManage() {
  if (User::currentUser().isLogined()) return pushNamed("PasswordManageViewController");
  pushLogin(kPasswordTitle);
}

void MoreView::handleUserProfile() {
  if (User::currentUser().isLogined()) return pushNamed("UserInfomationViewController");
  pushLogin(kUserInfoTitle);
}

void MoreView::help() {
  auto page = NVXBaseProtocolViewController::create();
  page->setTitle(kHelpTitle);
  page->setRemoteUrl(DownloadServerConfig::current().pageUrl(kHelpPath));
  push(page);
}

void MoreView::handleFeedBack() { pushNamed("FeedBackViewController"); }

void MoreView::applayMoreServer() { AppServices::current().gotoWhiteList(); }

void MoreView::handleUpdateClient() { moreCtrl_->handleUpdateClient(); }

void MoreView::handlePresentMap() {
  if (!ui::Application::shared().openURL(kMakerPage)) platform::log::info("more", "the maker's page could not be opened");
}

void MoreView::handleAboutUs() { pushNamed("AboutUsViewController"); }

void MoreView::handleModifyPassword() {
  if (User::currentUser().isLogined()) return pushNamed("ModifyPasswordViewController");
  push(LoginScreen::create());
}

void MoreView::handleStartNuvexaSwiper() { moreCtrl_->handleStartNuvexaSwiper(); }

void MoreView::gotoViewOfBoxTitle(const std::string& boxTitle) {
  if (moreDelegate) moreDelegate();
  loginNamelb_->setText(User::currentUser().loginName());
  setTitleArray();
  if (boxTitle == kPasswordTitle) return pushNamed("PasswordManageViewController");
  if (boxTitle == kUserInfoTitle) return pushNamed("UserInfomationViewController");
  if (boxTitle == kLoginOutTitle) return;
  moreCtrl_->gotoViewOfBoxTitle(boxTitle);
}

}  // namespace nvx
