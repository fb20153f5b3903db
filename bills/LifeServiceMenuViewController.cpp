#include "bills/LifeServiceMenuViewController.h"

#include "app/ui/ColorExt.h"
#include "app/ui/ViewTool.h"
#include "bills/AccountDirectChargeViewController.h"
#include "bills/CaiFutongRechargeViewController.h"
#include "bills/PublicServiceViewController.h"
#include "bills/ZhiFubaoRechargeViewController.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::ui::Font;
using platform::ui::Rect;

namespace {

constexpr double kHeaderRowHeight = 50;
constexpr double kRowHeight = 35;
constexpr double kTableWidth = 300;

platform::ui::Color hexColor(uint32_t rgb) {
  return platform::ui::Color{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1};
}

// A row's label and its picture at the right end.
void addCellInfo(platform::ui::TableViewCell& cell, const std::string& title, const std::string& image, double height,
                 bool bold) {
  auto label = platform::ui::Label::create(Rect{15, 0, 200, height}, title);
  label->setFont(bold ? Font::boldSystem(18) : Font::system(16));
  label->setBackgroundColor(platform::ui::Color::clear());
  cell.contentView()->addSubview(label);
  auto picture = platform::ui::ImageView::create(platform::ui::Image::named(image));
  picture->setFrame(Rect{kTableWidth - (bold ? 50 : 70), (height - 30) / 2, 30, 30});
  cell.contentView()->addSubview(picture);
}

}  // namespace

void LifeServiceMenuViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(menuTitle());
  tableview_ = ViewTool::myPlainTableViewWithFrame(Rect{10, 10, kTableWidth, tableHeight()});
  tableview_->setScrollEnabled(false);
  tableview_->setSeparatorStyle(platform::ui::TableViewCellSeparatorStyle::SingleLine);
  tableview_->setSeparatorColor(hexColor(0xECF0F1));
  tableview_->setBackgroundColor(platform::ui::Color::white());
  auto self = std::static_pointer_cast<LifeServiceMenuViewController>(shared_from_this());
  tableview_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  tableview_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  view()->addSubview(tableview_);
}

int LifeServiceMenuViewController::numberOfRows(platform::ui::TableView&, int) {
  return static_cast<int>(rows().size());
}

std::optional<double> LifeServiceMenuViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  return path.row == 0 ? kHeaderRowHeight : kRowHeight;
}

std::shared_ptr<platform::ui::TableViewCell> LifeServiceMenuViewController::cellForRow(platform::ui::TableView&,
                                                                                      platform::ui::IndexPath path) {
  const Row& row = rows()[static_cast<size_t>(path.row)];
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  if (path.row == 0) {
    cell->setBackgroundColor(hexColor(0xBEC3C7));
    addCellInfo(*cell, row.title, row.picture, kHeaderRowHeight, true);
  } else {
    addCellInfo(*cell, row.title, row.picture, kRowHeight, false);
    cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
  }
  return cell;
}

void LifeServiceMenuViewController::didSelectRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  if (User::currentUser().isLogined()) {
    if (path.row >= 1) openRow(path.row);
    return;
  }
  auto login = LoginScreen::create();
  auto* configure = dynamic_cast<LoginScreen*>(login.get());
  if (!configure) return;
  configure->setBoxTitle(std::to_string(path.row));
  configure->setDelegate(std::weak_ptr<LoginViewControllerDelegate>(
      std::static_pointer_cast<LifeServiceMenuViewController>(shared_from_this())));
  auto nav = AppServices::current().navigationController();
  if (!nav) {
    platform::log::info("bills", "no navigation stack for the login screen");
    return;
  }
  AppServices::pushScreen(*nav, login);
}

void LifeServiceMenuViewController::gotoViewOfBoxTitle(const std::string& boxTitle) {
  const int row = std::atoi(boxTitle.c_str());
  if (row >= 1 && static_cast<size_t>(row) < rows().size()) openRow(row);
}

void LifeServiceMenuViewController::push(std::shared_ptr<platform::ui::ViewController> screen) {
  if (auto nav = navigationController()) nav->push(std::move(screen), true);
}

namespace {
constexpr LifeServiceMenuViewController::Row kRechargeRows[] = {{"充值", "icon_recharge.png"},
                                         {"支付宝充值", "icon_zfbfk.png"},
                                         {"财付通充值", "icon_cftcz.png"},
                                         {"账户直充", "icon_zhzc.png"}};
constexpr LifeServiceMenuViewController::Row kPayRows[] = {{"缴费", "icon_payment.png"},
                                                          {"水费", "icon_water.png"},
                                                          {"电费", "icon_electricity.png"},
                                                          {"燃气费", "icon_gas.png"},
                                                          {"通讯费", "icon_communication.png"}};
}  // namespace

std::span<const LifeServiceMenuViewController::Row> RechargeBusinessViewController::rows() const { return kRechargeRows; }

std::span<const LifeServiceMenuViewController::Row> PayBusinessViewController::rows() const { return kPayRows; }

void RechargeBusinessViewController::openRow(int row) {
  if (row == 1) return push(std::make_shared<ZhiFubaoRechargeViewController>());
  if (row == 2) return push(std::make_shared<CaiFutongRechargeViewController>());
  if (row == 3) return push(std::make_shared<AccountDirectChargeViewController>());
}

void PayBusinessViewController::goBusiness(int type) {
  auto screen = PublicServiceViewController::create();
  screen->initWithServiceType(type);
  push(screen);
}

}  // namespace nvx
