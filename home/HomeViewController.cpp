#include "home/HomeViewController.h"

#include <algorithm>
#include <set>

#include "app/ui/AdvertisingWebViewController.h"
#include "app/ui/ColorExt.h"
#include "app/ui/HudExt.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/UrlEscaping.h"
#include "home/HomeDataUtil.h"
#include "net/DataStatistics.h"
#include "net/ServerConfig.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::Json;
using platform::ui::Rect;

namespace {

constexpr std::string_view kLog = "home";

// Boxes that no longer exist: a stored common page holding one is replaced by the default page.
bool isRetired(const HomeBoxData& box) {
  return box.title() == HomeDataUtil::title("Trafic_Violation2") || box.title() == HomeDataUtil::title("AA-Receivables");
}

// A stored page is used only when it is a list of distinct boxes that each open a screen.
bool isUsablePage(const HomeBoxList& page) {
  if (page.empty()) return false;
  std::set<std::string> titles;
  for (const auto& box : page) {
    if (box->targetCtr().empty() || box->title().empty()) return false;
    if (!titles.insert(box->title()).second) return false;
  }
  return true;
}

std::optional<HomeBoxList> storedPage() {
  auto bytes = platform::UserDefaults::standard().data(HomeViewController::kCommonPageKey);
  if (!bytes) return std::nullopt;
  auto list = platform::unarchiveList(*bytes);
  if (!list) return std::nullopt;
  HomeBoxList page;
  for (const auto& object : *list) {
    auto box = std::dynamic_pointer_cast<HomeBoxData>(object);
    if (!box) return std::nullopt;
    page.push_back(std::move(box));
  }
  return page;
}

// The businesses whose promotion tips the home boxes show, by business code.
const std::vector<std::pair<const char*, const char*>>& promotionTitles() {
  static const std::vector<std::pair<const char*, const char*>> kTable{
      {"M50001", "CreditCardRepayment"}, {"16L", "BillByStage"},          {"M20020", "MobileRecharge"},
      {"M30000", "BalanceInquiry"},      {"M50005", "BillNumberRemittance"}, {"M50002", "AlipayPayment"},
      {"M50004", "TenpayRecharge"},      {"M50003", "AlipayRecharge"},     {"M50007", "GameCardRecharge"},
      {"M50006", "AccountDirectCharge"}, {"M50008", "PublicDonation"},     {"M50010", "TransferRemittance"},
  };
  return kTable;
}

// The host of an address "scheme://host[:port]/..." with its scheme, lower-cased; empty when the
// address has no such form.
std::pair<std::string, std::string> schemeAndHost(const std::string& address) {
  const auto sep = address.find("://");
  if (sep == std::string::npos || sep == 0) return {};
  std::string scheme = address.substr(0, sep);
  const auto start = sep + 3;
  auto end = address.find_first_of("/?#", start);
  std::string authority = address.substr(start, end == std::string::npos ? std::string::npos : end - start);
  if (authority.find('@') != std::string::npos) return {};   // user info hides the real host
  std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
  std::transform(authority.begin(), authority.end(), authority.begin(), [](unsigned char c) { return std::tolower(c); });
  return {scheme, authority};
}

}  // namespace

HomeViewController::HomeViewController() = default;

std::shared_ptr<HomeViewController> HomeViewController::create() { return std::make_shared<HomeViewController>(); }

// --- the common page ---

void HomeViewController::loadCommonArray() {
  auto stored = storedPage();
  if (stored && isUsablePage(*stored)) {
    commonArray_ = *stored;
  } else {
    if (stored || platform::UserDefaults::standard().contains(kCommonPageKey)) {
      platform::log::warning(kLog, "the stored common page is not usable; the default page replaces it");
    }
    commonArray_ = HomeDataUtil::getMyStoreBoxData();
    saveCommonArray();
  }
  if (std::any_of(commonArray_.begin(), commonArray_.end(), [](const auto& box) { return isRetired(*box); })) {
    commonArray_ = HomeDataUtil::getMyStoreBoxData();
    saveCommonArray();
  }
}

void HomeViewController::saveCommonArray() const {
  auto& defaults = platform::UserDefaults::standard();
  defaults.setData(kCommonPageKey, platform::archiveList(commonArray_));
  if (!defaults.synchronize()) platform::log::warning(kLog, "the common page could not be written; it stays pending");
}

int HomeViewController::getIndexOfBoxData(const HomeBoxData& box) const {
  for (size_t i = 0; i < commonArray_.size(); ++i) {
    if (commonArray_[i]->title() == box.title()) return static_cast<int>(i);
  }
  return -1;
}

// --- building the view ---

void HomeViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  if (!operations_) operations_ = HomeOperations::create();
  auto root = view();
  const double W = root->frame().width;
  const double H = root->frame().height;
  const Rect screen = platform::ui::Screen::bounds();
  const double SW = screen.width;
  const double SH = screen.height;
  const auto page = ColorExt::colorFromHexRGB("ECF0F1");

  contenView_ = platform::ui::View::create(Rect{0, 0, W, H + 44});
  homeView_ = platform::ui::View::create(Rect{0, kBannerHeight, W, H + 44});
  homeView_->setBackgroundColor(page);
  animateView_ = platform::ui::View::create(Rect{0, 0, W, H + 44 + kBannerHeight});
  animateView_->setBackgroundColor(page);
  root->setBackgroundColor(platform::ui::Color::white());
  contenView_->setBackgroundColor(page);

  loadCommonArray();
  boxDataArray_ = HomeDataUtil::getAllBoxData();

  const auto delegate = std::static_pointer_cast<HomeBoxViewDelegate>(self());
  auto makeGrid = [&](const HomeBoxList& boxes, double height, bool shown) {
    auto grid = HomeBoxView::initWithFrame(Rect{0, kPagesTop, SW, height}, boxes);
    grid->setHomeBoxViewDelegate(delegate);
    grid->setHidden(!shown);
    homeView_->addSubview(grid);
    return grid;
  };
  const double fullHeight = SH - 20 - HomeBottomTabBar::kHeight;
  cardView_ = makeGrid(HomeDataUtil::getCardBoxData(), fullHeight - kBannerHeight, true);
  mobilBankView_ = makeGrid(HomeDataUtil::getMobileBankBoxData(), fullHeight, false);
  lifeView_ = makeGrid(HomeDataUtil::getLifeHelpBoxData(), fullHeight, false);
  mystoreView_ = makeGrid(commonArray_, fullHeight, false);
  mallView_ = makeGrid(HomeDataUtil::getMallBoxData(), fullHeight, false);
  buildMorePage();

  getPromotion();

  // The wallet page: the wallet screen's view, once.
  walletCtrl_ = ScreenRegistry::shared().create("WalletViewController");
  if (walletCtrl_) {
    auto wallet = walletCtrl_->view();
    wallet->setFrame(Rect{0, 0, 320, H});
    wallet->setHidden(true);
    homeView_->addSubview(wallet);
  }

  root->addSubview(contenView_);
  animateView_->addSubview(homeView_);
  contenView_->addSubview(animateView_);

  HomeTabBarViewController::showHomeTabBarAddedTo(*contenView_, HomeBottomTabBar::kCardTag);
  HomeTabBarViewController::sharedTabBarController()->setDelegate(
      std::static_pointer_cast<HomeTabBarViewControllerDelegate>(self()));

  navbar_ = HomeNavigationBar::initWithDelegate(std::static_pointer_cast<HomeNavigationBarDelegate>(self()));
  homeView_->addSubview(navbar_);
  showAdvertBanner();

  getUnReadMsg();
}

void HomeViewController::viewWillAppear(bool animated) {
  NVXViewController::viewWillAppear(animated);
  HudExt::hide();
  if (auto nav = navigationController()) nav->setNavigationBarHidden(true, true);
  removeSplashLater(weak_from_this());
}

std::vector<std::shared_ptr<HomeBoxView>> HomeViewController::grids() const {
  return {cardView_, mobilBankView_, lifeView_, mallView_, mystoreView_};
}

// --- pages ---

void HomeViewController::hideWalletPage() {
  if (walletCtrl_ && walletCtrl_->isViewLoaded()) walletCtrl_->view()->setHidden(true);
}

void HomeViewController::showHomeview(const std::shared_ptr<HomeBoxView>& grid) {
  hideExtraPages();
  hideWalletPage();
  for (const auto& g : grids()) {
    if (g) g->setHidden(g != grid);
  }
}

void HomeViewController::slideBanner(bool shown) {
  const double H = view()->frame().height;
  auto sliding = animateView_;
  platform::ui::animate(kSlideSeconds, [sliding, shown, H] {
    sliding->setFrame(Rect{0, shown ? 0 : -kBannerHeight, 320, H + 44});
  });
}

std::shared_ptr<HomeBottomTabBar> HomeViewController::bottomBar() const {
  return contenView_ ? HomeTabBarViewController::getHomeBottomTabBarInView(*contenView_) : nullptr;
}

void HomeViewController::selectTag(int tag) {
  if (navbar_) navbar_->deSelected();
  switch (tag) {
    case HomeBottomTabBar::kCardTag:
      showHomeview(cardView_);
      slideBanner(true);
      return;
    case HomeBottomTabBar::kMobileBankTag:
      showHomeview(mobilBankView_);
      break;
    case HomeBottomTabBar::kLifeTag:
      showHomeview(lifeView_);
      break;
    case HomeBottomTabBar::kWalletTag:
      showHomeview(nullptr);
      if (walletCtrl_) {
        walletCtrl_->view()->setHidden(false);
      } else {
        platform::log::info(kLog, "no wallet page in this build");
      }
      break;
    default:
      break;
  }
  slideBanner(false);
}

void HomeViewController::tabBar(HomeNavigationBar& /*bar*/, platform::ui::Button& didSelectedItem) {
  const int tag = didSelectedItem.tag();
  HomeNavigationBar::notifyTabBarSelected(tag);
  if (auto bar = bottomBar()) bar->setDeSelectedItem(HomeBottomTabBar::kNoneSelected);
  switch (tag) {
    case HomeNavigationBar::kCommonTag:
      showHomeview(mystoreView_);
      break;
    case HomeNavigationBar::kMallTag:
      showHomeview(mallView_);
      break;
    case HomeNavigationBar::kMessageTag:
      showHomeview(nullptr);
      gotoNoticeView();
      if (navbar_) navbar_->showNoticeNum(0);
      break;
    case HomeNavigationBar::kMoreTag:
      showHomeview(nullptr);
      showMorePage();
      break;
    default:
      break;
  }
  slideBanner(false);
}

void HomeViewController::switchToTab(int tag) {
  if (auto bar = bottomBar()) HomeTabBarViewController::sharedTabBarController()->gotoTag(tag, *bar);
  selectTag(tag);
}

void HomeViewController::selectedCommonView() { switchToTab(HomeBottomTabBar::kMobileBankTag); }

void HomeViewController::rebuildWalletView() {
  platform::log::info(kLog, "no wallet page in this build: nothing to clear");
}

// --- edits of the common page ---

void HomeViewController::reloadTheCommonView(const HomeBoxList& items) {
  if (mystoreView_) mystoreView_->reloadItems(items);
  commonArray_.clear();
  for (const auto& box : items) commonArray_.push_back(box->copy());
  saveCommonArray();
}

void HomeViewController::deleteBoxItem(HomeBoxItem& item, HomeBoxView& view) {
  if (&view != mystoreView_.get()) return;
  const int at = getIndexOfBoxData(*item.homeData());
  if (at >= 0) commonArray_.erase(commonArray_.begin() + at);
  saveCommonArray();
}

void HomeViewController::longPressItem(HomeBoxItem& /*item*/, HomeBoxView& view) {
  if (&view == mystoreView_.get()) mystoreView_->setEditStatu();
}

bool HomeViewController::itemIsExist(size_t index) const {
  if (index >= boxDataArray_.size()) return false;
  return getIndexOfBoxData(*boxDataArray_[index]) >= 0;
}

void HomeViewController::addToCommonView(size_t index) {
  if (index >= boxDataArray_.size() || commonArray_.size() < 2) return;
  if (itemIsExist(index)) {
    showPrompt(kAlreadyAddedPrompt);
    return;
  }
  auto box = boxDataArray_[index]->copy();
  const size_t n = commonArray_.size();
  if (n >= 6) {
    commonArray_.insert(commonArray_.begin() + static_cast<std::ptrdiff_t>(n - 1), box);
  } else if (n == 5) {
    commonArray_.push_back(box);
    std::swap(commonArray_[5], commonArray_[3]);
  } else {
    commonArray_.insert(commonArray_.begin() + static_cast<std::ptrdiff_t>(n - 2), box);
  }
  saveCommonArray();
  if (mystoreView_) mystoreView_->reloadItems(commonArray_);
  showPrompt(kAddedPrompt);
}

void HomeViewController::rearrangeKeepingFifth(size_t position, bool removeIt) {
  const size_t n = commonArray_.size();
  if (position >= n) return;
  if (removeIt && (position == 4 || (n <= 4 && position == n - 1))) return;
  if (mystoreView_) {
    if (removeIt) {
      mystoreView_->deleteAppointItem(position);
    } else {
      mystoreView_->setToFirstLocation(position);
    }
  }
  const size_t keptAt = n > 4 ? 4 : n - 1;
  const auto box = commonArray_[position];
  const auto kept = commonArray_[keptAt];
  commonArray_.erase(commonArray_.begin() + static_cast<std::ptrdiff_t>(keptAt));
  auto at = std::find(commonArray_.begin(), commonArray_.end(), box);
  if (at != commonArray_.end()) {
    commonArray_.erase(at);
    if (!removeIt) commonArray_.insert(commonArray_.begin(), box);
  }
  if (commonArray_.size() > 4) {
    commonArray_.insert(commonArray_.begin() + 4, kept);
  } else {
    commonArray_.push_back(kept);
  }
  saveCommonArray();
  showNewTip();
}

void HomeViewController::setToFirstLocation(size_t position) { rearrangeKeepingFifth(position, false); }

void HomeViewController::deleteItem(size_t position) { rearrangeKeepingFifth(position, true); }

void HomeViewController::buySwiper() { pushScreen("BuyNuvexaViewController"); }

void HomeViewController::gotoLoginView() { pushScreen("SearchBankOpenWebsiteViewController"); }

void HomeViewController::changeMode(int tag) { showHomeview(tag == 100 ? mobilBankView_ : cardView_); }

std::vector<std::string> HomeViewController::stringToClass(const std::vector<std::string>& names) {
  std::vector<std::string> classes;
  for (const auto& name : names) {
    if (HomeDataUtil::isScreenClass(name)) classes.push_back(name);
  }
  return classes;
}

void HomeViewController::showNewTip() {
  auto& defaults = platform::UserDefaults::standard();
  if (defaults.string(HomeBoxItem::kNewBusinessKey).value_or("") == "3.0.0") return;
  for (const char* code : {"A380", "A381"}) {
    if (auto tile = cardView_ ? cardView_->getHomeBoxItemByBusid(code) : nullptr) tile->showTheNewTip();
  }
  defaults.set(HomeBoxItem::kNewBusinessKey, "3.0.0");
}

// --- promotion tips and the unread count ---

std::map<std::string, std::string> HomeViewController::tipsFromPromotion(const Json& list) {
  std::map<std::string, std::string> tips;
  if (!list.is_array()) return tips;
  for (const auto& entry : list) {
    if (!entry.is_object()) continue;
    auto note = platform::json::textOnly(entry, "note");
    if (!note) continue;
    for (const auto& [code, key] : promotionTitles()) {
      if (*note != code) continue;
      tips[HomeDataUtil::title(key)] = platform::json::asText(platform::json::valueOrNull(entry, "aContent")).value_or("");
    }
  }
  return tips;
}

void HomeViewController::getPromotion() {
  const std::weak_ptr<HomeViewController> weak = self();
  operations_->getPromotion(self(), [weak](std::optional<Json> list) {
    auto me = weak.lock();
    if (!me || !list) return;
    const auto tips = tipsFromPromotion(*list);
    for (const auto& grid : me->grids()) {
      if (grid) grid->updateTipsWithDictionary(tips);
    }
  });
}

void HomeViewController::getUnReadMsg() {
  auto& defaults = platform::UserDefaults::standard();
  if (!defaults.contains(kMessageNumKey)) defaults.set(kMessageNumKey, "-1");
  const std::string messageNum = defaults.string(kMessageNumKey).value_or("-1");
  const std::weak_ptr<HomeViewController> weak = self();
  operations_->getTotalMsg(messageNum, [weak](std::optional<int64_t> total) {
    auto me = weak.lock();
    if (me && total && me->navbar_) me->navbar_->showNoticeNum(*total);
  });
}

void HomeViewController::updateUnReadMsg() { getUnReadMsg(); }

void HomeViewController::updateUnReadNumber(int64_t number) {
  if (navbar_) navbar_->showNoticeNum(number);
}

// --- adverts ---

std::string HomeViewController::advertAddress(const std::string& adUrl, const std::string& ownBaseAddress) {
  const User& user = User::currentUser();
  if (!user.isLogined()) return adUrl;
  const auto [scheme, host] = schemeAndHost(adUrl);
  const auto [ownScheme, ownHost] = schemeAndHost(ownBaseAddress);
  if (scheme != "https" || ownScheme != "https" || host.empty() || host != ownHost) return adUrl;
  Json pairs = Json::object();
  pairs["userToken"] = user.userToken();
  pairs["mobile"] = user.loginName();
  return text::urlAppendKeyValues(adUrl, pairs);
}

void HomeViewController::openCouponPage(const std::string& address) {
  (void)address;
  platform::log::info(kLog, "no coupon page in this build");
}

void HomeViewController::advertisingViewClickedAd(const AdvertTap& ad) {
  if (ad.isDefault) {
    switch (ad.defaultKind) {
      case 4: {
        auto page = platform::Bundle::main().resource("zzhk", "html");
        if (!page) {
          platform::log::warning(kLog, "the transfer advert page is missing from the resources");
          break;
        }
        auto web = AdvertisingWebViewController::create();
        web->setAdURL("file://" + page->string());
        push(web);
        break;
      }
      case 6:
        openCouponPage(ad.adUrl);
        break;
      case 7:
        switchToTab(HomeBottomTabBar::kWalletTag);
        break;
      default:
        break;
    }
    return;
  }
  DataStatistics::sharedDataStatistics().advertisementRecord(std::to_string(ad.adID));
  switch (ad.adType) {
    case 1:
      if (ad.adNote == "110001") {
        switchToTab(HomeBottomTabBar::kWalletTag);
      } else {
        gotoFunctionView(ad.adNote);
      }
      break;
    case 2:
      platform::ui::Application::shared().openURL(ad.adUrl);
      break;
    case 3: {
      auto web = AdvertisingWebViewController::create();
      web->setAdURL(advertAddress(ad.adUrl, ServerConfig::current().mainApiBase()));
      push(web);
      break;
    }
    case 4: {
      auto web = AdvertisingWebViewController::create();
      web->setNotice(ad.adContent);
      push(web);
      break;
    }
    case 6:
      openCouponPage(ad.adUrl);
      break;
    default:
      break;
  }
}

void HomeViewController::pushToAdvertiseMent(std::shared_ptr<platform::ui::ViewController> screen) {
  if (screen) push(screen);
}

std::vector<std::shared_ptr<HomeBox>> HomeViewController::getAllBusiness() {
  if (boxDataArray_.empty()) boxDataArray_ = HomeDataUtil::getAllBoxData();
  return std::vector<std::shared_ptr<HomeBox>>(boxDataArray_.begin(), boxDataArray_.end());
}

}  // namespace nvx
