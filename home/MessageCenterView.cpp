#include "home/MessageCenterView.h"

#include <algorithm>

#include "app/ui/HudExt.h"
#include "app/ui/MallProductScreen.h"
#include "app/ui/NVXBaseProtocolViewController.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/TextNumber.h"
#include "home/HomeDataUtil.h"
#include "home/MessageCell.h"
#include "home/MessageDetailViewController.h"
#include "home/MoreViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

namespace nvx {

namespace ui = platform::ui;
using platform::Json;
using ui::Rect;

namespace {

constexpr std::string_view kLog = "messages";
constexpr const char* kLotteryCode = "JVQ001";
constexpr const char* kLotteryRootClass = "TabBarController";

// Businesses a message opens without a login.
bool isLoginFree(const std::string& code) {
  return code == "B00008" || code == "B00010" || code == "B00009" || code == "B00001";
}

// The utility bills by code, with their service types.
std::optional<int> utilityType(const std::string& code) {
  if (code == "B00004") return 0;
  if (code == "B00005") return 1;
  if (code == "B00006") return 2;
  if (code == "B00003") return 3;
  return std::nullopt;
}

std::string asText(const Json& value) {
  return value.is_string() || value.is_number() ? platform::json::asText(value).value_or("") : platform::json::dump(value);
}

}  // namespace

std::shared_ptr<MessageCenterView> MessageCenterView::initWithFrame(Rect frame) {
  return std::make_shared<MessageCenterView>(frame);
}

void MessageCenterView::loadView() {
  messageArr_.clear();
  hasReadArr_.clear();
  businessMap_ = RelationBuidToCrtUtil::setBusinessMap();
  setBackgroundColor(ui::Color::white());
  auto& defaults = platform::UserDefaults::standard();
  if (!defaults.contains(kMessageNumKey)) defaults.set(kMessageNumKey, "-1");

  const Rect screen = ui::Screen::bounds();
  tableview_ = ui::TableView::create(Rect{0, 44, screen.width, screen.height - 20 - 32}, ui::TableViewStyle::Grouped);
  tableview_->setContentSize(ui::Size{320, screen.height - 20 - 44});
  tableview_->setBackgroundColor(ui::Color::white());
  tableview_->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
  tableview_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(self()));
  tableview_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(self()));
  const std::weak_ptr<MessageCenterView> weak = self();
  tableview_->willBeginDragging = [weak](ui::ScrollView&) {
    if (auto me = weak.lock()) me->scrollViewWillBeginDragging();
  };
  tableview_->didScroll = [weak](ui::ScrollView&) {
    if (auto me = weak.lock()) me->scrollViewDidScroll();
  };
  tableview_->didEndDragging = [weak](ui::ScrollView&, bool) {
    if (auto me = weak.lock()) me->scrollViewDidEndDragging();
  };
  addSubview(tableview_);

  refleshLabel_ = ui::Label::create(Rect{0, -20, 320, 20}, kPullToRefresh);
  refleshLabel_->setFont(ui::Font::system(14));
  refleshLabel_->setTextAlignment(ui::TextAlignment::Center);
  tableview_->addSubview(refleshLabel_);

  loadingView_ = LoadingActivityView::create(Rect{0, 0, 320, 20});
  loadingView_->setLoading(false);

  noRecordImg_ = ui::ImageView::create(ui::Image::named(kNoNewsImage));
  noRecordImg_->setFrame(Rect{85, 130, 148, 135});
  noRecordImg_->setHidden(true);
  addSubview(noRecordImg_);

  startPage_ = 1;
  getMoreMessage(1, false, true);
}

void MessageCenterView::setReadMsgId() {
  if (messageArr_.empty()) return;
  auto& defaults = platform::UserDefaults::standard();
  defaults.set(kMessageNumKey, messageArr_.front().msgId.value_or(""));
  if (!defaults.synchronize()) platform::log::warning(kLog, "the newest message seen could not be written");
  if (delegate) delegate(0);
}

bool MessageCenterView::isMessageRead(const std::optional<std::string>& msgId) const {
  if (!msgId) return false;
  return std::find(hasReadArr_.begin(), hasReadArr_.end(), *msgId) != hasReadArr_.end();
}

void MessageCenterView::getMoreMessage(int page, bool isUp, bool isFirst) {
  if (refleshLabel_) refleshLabel_->setText(kRefreshing);
  const std::weak_ptr<MessageCenterView> weak = self();
  HomeServiceOperations::getNoticeMsgCurrPage(page, [weak, isUp, isFirst](HomeServiceOperations::NoticePage reply) {
    if (auto me = weak.lock()) me->pageArrived(std::move(reply), isUp, isFirst);
  });
}

void MessageCenterView::pageArrived(HomeServiceOperations::NoticePage page, bool isUp, bool isFirst) {
  if (!page.ok) {
    if (messageArr_.empty()) noRecordImg_->setHidden(false);
    HudExt::prompt(page.errMsg);
    return;
  }
  if (!isFirst) HudExt::prompt(kRefreshed);
  refleshLabel_->setText(kRefreshed);
  noRecordImg_->setHidden(true);
  if (isUp) {
    startPage_ = 2;
    messageArr_.clear();
  } else {
    startPage_ += 1;
  }
  refrushCount_ = static_cast<int>(page.list.size());
  for (auto& message : page.list) messageArr_.push_back(std::move(message));
  tableview_->reloadData();
  tableview_->setContentSize(ui::Size{320, tableview_->contentSize().height + kRowHeight});
  if (const auto& footer = tableview_->tableFooterView()) footer->setHidden(true);
  loadingView_->setLoading(false);
  loadingView_->removeFromSuperview();
  if (messageArr_.empty()) noRecordImg_->setHidden(false);
}

// --- scrolling ---

void MessageCenterView::scrollViewDidScroll() {
  const double y = tableview_->contentOffset().y;
  if (y < kRefreshPull) {
    refleshLabel_->setText(kReleaseToRefresh);
  } else if (y < 0) {
    refleshLabel_->setText(kPullToRefresh);
  }
}

void MessageCenterView::scrollViewWillBeginDragging() {
  if (refrushCount_ == kPageSize) {
    auto more = ui::Label::create(Rect{0, 0, 320, 20}, kLoadMore);
    more->setFont(ui::Font::system(18));
    more->setTextAlignment(ui::TextAlignment::Center);
    tableview_->setTableFooterView(more);
  } else if (refrushCount_ < kPageSize) {
    auto footer = ui::View::create(Rect{0, 0, 320, 80});
    auto all = ui::Label::create(Rect{0, 0, 320, 30}, kAllShown);
    all->setFont(ui::Font::system(14));
    all->setTextColor(ui::Color::gray(0.5));
    all->setTextAlignment(ui::TextAlignment::Center);
    footer->addSubview(all);
    tableview_->setTableFooterView(footer);
  }
  if (const auto& footer = tableview_->tableFooterView()) footer->setHidden(false);
}

void MessageCenterView::scrollViewDidEndDragging() {
  const double y = tableview_->contentOffset().y;
  if (y < kRefreshPull) {
    getMoreMessage(1, true, false);
    return;
  }
  const double beyond = tableview_->contentSize().height - tableview_->frame().height;
  if (y - kMorePull > beyond && refrushCount_ >= kPageSize) {
    loadingView_->setLoading(true);
    tableview_->setTableFooterView(loadingView_);
    getMoreMessage(startPage_, false, false);
  }
}

// --- table ---

std::optional<int> MessageCenterView::numberOfSections(ui::TableView&) { return static_cast<int>(messageArr_.size()); }

int MessageCenterView::numberOfRows(ui::TableView&, int) { return 1; }

std::optional<double> MessageCenterView::heightForRow(ui::TableView&, ui::IndexPath) { return kRowHeight; }

std::shared_ptr<ui::TableViewCell> MessageCenterView::cellForRow(ui::TableView&, ui::IndexPath path) {
  auto cell = MessageCell::initWithStyle("Cell");
  if (path.section < 0 || static_cast<size_t>(path.section) >= messageArr_.size()) return cell;
  const MsgList& message = messageArr_[static_cast<size_t>(path.section)];
  cell->updateMessage(message);
  if (isMessageRead(message.msgId)) {
    cell->readMsg();
  } else {
    cell->unReadMsg();
  }
  const std::string seen = platform::UserDefaults::standard().string(kMessageNumKey).value_or("");
  if (text::doubleValue(seen) >= text::doubleValue(message.msgId.value_or(""))) cell->readMsg();
  return cell;
}

void MessageCenterView::didSelectRow(ui::TableView& table, ui::IndexPath path) {
  if (path.section < 0 || static_cast<size_t>(path.section) >= messageArr_.size()) return;
  const MsgList message = messageArr_[static_cast<size_t>(path.section)];
  if (auto cell = std::dynamic_pointer_cast<MessageCell>(table.cellForRow(path))) cell->readMsg();
  open(message);
  if (message.msgId && !isMessageRead(message.msgId)) hasReadArr_.push_back(*message.msgId);
  table.deselectRow(path, true);
}

void MessageCenterView::push(const std::shared_ptr<ui::ViewController>& screen) {
  if (!screen) return;
  if (auto nav = AppServices::current().navigationController()) nav->push(screen, true);
}

void MessageCenterView::open(const MsgList& message) {
  const std::string type = message.openType.value_or("");
  const std::string params = message.params.value_or("");
  if (type == "1") {
    auto detail = MessageDetailViewController::create();
    detail->setMassage(message);
    push(detail);
  } else if (type == "2") {
    auto page = NVXBaseProtocolViewController::create();
    page->setTitle(message.msgPurpose.value_or(""));
    page->setRemoteUrl(params);
    push(page);
  } else if (type == "3") {
    if (!moreCtrl_) moreCtrl_ = MoreViewController::create();
    moreCtrl_->handleUpdateClient();
  } else if (type == "4") {
    goBuiness(params);
  } else if (type == "5") {
    getAllCoupon(message);
  } else if (type == "6") {
    if (!ui::Application::shared().openURL(params)) platform::log::info(kLog, "the message's address could not be opened");
  } else {
    platform::log::info(kLog, "a message of open type \"" + type + "\" opens nothing");
  }
}

// --- businesses ---

void MessageCenterView::gotoViewOfBoxTitle(const std::string& boxTitle) { goBuiness(boxTitle); }

void MessageCenterView::goBuiness(const std::string& code) {
  if (!isLoginFree(code) && !User::currentUser().isLogined()) {
    auto login = LoginScreen::create();
    if (auto* configurable = dynamic_cast<LoginScreen*>(login.get())) {
      configurable->setBoxTitle(code);
      configurable->setDelegate(std::static_pointer_cast<LoginViewControllerDelegate>(self()));
    }
    push(login);
    return;
  }
  auto& services = AppServices::current();
  if (code == kLotteryCode) {
    if (auto nav = services.navigationController()) nav->setNavigationBarHidden(true, false);
    const User& user = User::currentUser();
    services.setLotterySession(LotterySessionValues{user.userToken(), user.loginName(), user.userId() + ";" + user.psamNo()});
    push(ScreenRegistry::shared().create(kLotteryRootClass));
    return;
  }
  if (auto type = utilityType(code)) {
    auto screen = ScreenRegistry::shared().create("PublicServiceViewController");
    if (screen && services.initPublicService(*screen, *type)) push(screen);
    return;
  }
  if (code == "B00002") {
    auto screen = ScreenRegistry::shared().create("ReceivableInfoViewController");
    if (screen && services.setReceivableItem(*screen, HomeDataUtil::title("AA-Receivables"), "258", 0, 1)) push(screen);
    return;
  }
  const std::string className = RelationBuidToCrtUtil::classForCode(businessMap_, code);
  if (className.empty()) {
    platform::log::info(kLog, "no screen for business code \"" + code + "\"");
    return;
  }
  push(ScreenRegistry::shared().create(className));
}

// --- the mall product ---

Json MessageCenterView::setCartEntity(const HomeListEntity& entry, const Json& detail) {
  Json cart = Json::object();
  auto put = [&cart](const char* key, const Json& value) {
    if (!value.is_null()) cart[key] = value;
  };
  put("id", entry.pid);
  put("beginTime", entry.beginTime);
  put("endTime", entry.endTime);
  put("imgUrl", entry.imgUrl);
  put("idType", entry.idType);
  put("pageContent", entry.pageContent);
  put("status", entry.status);
  if (entry.pageContent.is_null()) {
    cart.erase("id");
  } else {
    cart["id"] = entry.pageContent;
  }
  for (const char* key : {"salePrice", "costPrice", "title", "saleCount"}) {
    if (detail.is_object()) put(key, platform::json::valueOrNull(detail, key));
  }
  return cart;
}

void MessageCenterView::getAllCoupon(const MsgList& message) {
  const std::string wanted = message.params.value_or("");
  const std::weak_ptr<MessageCenterView> weak = self();
  HomeServiceOperations::getProducts([weak, wanted](std::optional<std::vector<HomeListEntity>> list, std::string errMsg) {
    auto me = weak.lock();
    if (!me) return;
    if (!list) {
      HudExt::prompt(errMsg);
      return;
    }
    auto found = std::find_if(list->begin(), list->end(),
                              [&](const HomeListEntity& e) { return !e.pageContent.is_null() && asText(e.pageContent) == wanted; });
    if (found == list->end()) return;
    me->getDetail(wanted, *found);
  });
}

void MessageCenterView::getDetail(const std::string& productId, const HomeListEntity& entry) {
  HomeServiceOperations::getDetailProductWithPId(productId, [entry](std::optional<Json> detail, std::string errMsg) {
    if (!detail) {
      if (!errMsg.empty()) HudExt::prompt(errMsg);
      return;
    }
    if (!detail->is_object()) return;
    auto screen = ScreenRegistry::shared().create(MallProductScreen::kClassName);
    if (!screen) return;
    auto* product = dynamic_cast<MallProductScreen*>(screen.get());
    if (!product) {
      platform::log::warning(kLog, "the mall product page takes no product in this build");
      return;
    }
    product->setDetailDic(*detail);
    product->setCartDic(setCartEntity(entry, *detail));
    push(screen);
  });
}

}  // namespace nvx
