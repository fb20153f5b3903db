// The home screen's business dispatch: the login gate in front of a box, the chain from a title
// to a screen, the businesses that need more than creating their screen (lottery, utility bills,
// balance inquiry, points card, receivables, the applications list), and the entries by business
// code, by title and by lottery link.
//
// Titles that name no business open nothing: the home screen stays and the request is logged
// (they never fall through to an unrelated screen). The payment and recharge menus ("缴费",
// "充值") open their own screens also when they come by business code or after a login.
#include <algorithm>
#include <array>
#include <cctype>

#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "home/AllControllerTable.h"
#include "home/HomeDataUtil.h"
#include "home/HomeViewController.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"

namespace nvx {

namespace {

constexpr std::string_view kLog = "home";

using platform::ui::Rect;

bool isTitle(const std::string& title, std::string_view key) { return title == HomeDataUtil::title(key); }

// Titles a tap opens without a login.
bool isTapExempt(const std::string& title) {
  for (const char* key : {"Trafic_Violation2", "NetworkQuery", "More", "Reminder", "BuySwipe", "Add"}) {
    if (isTitle(title, key)) return true;
  }
  for (const char* literal : {"广告", "澜舟专区", "每周特惠", "充值", "缴费"}) {
    if (title == literal) return true;
  }
  return false;
}

// The chain's titles that simply create their screen, in the chain's order of precedence (the
// special entries are tested before this table).
struct ChainRow {
  const char* title;
  bool isKey;
  const char* screen;
};
constexpr std::array<ChainRow, 29> kChain{{
    {"还款提醒", false, "CCRepayRemindViewController"},
    {"手机号汇款", false, "PhoneNumberRemittanceViewController"},
    {"扫一扫", false, "Scan2DCodeViewController"},
    {"还款管理", false, "NCCRepayManageViewController"},
    {"我要收款", false, "ReceiptBankViewController"},
    {"澜舟专区", false, "VornAreaViewController"},
    {"Trafic_Violation3", true, "WeekCouponViewController"},
    {"Trafic_Violation", true, "TraficViolationChooseViewController"},
    {"Trafic_Violation2", true, "MallIndexViewController"},
    {"CarRent", true, "SZRentCarViewContrllerViewController"},
    {"Insurance_Financing", true, "InsuranceChooseViewController"},
    {"MobileRecharge", true, "MobileRechargeViewController"},
    {"CreditCardRepayment", true, "CCRepayInputViewController"},
    {"BillByStage", true, "InstalmentViewController"},
    {"NetworkQuery", true, "NVXMapViewController"},
    {"Reminder", true, "ReminderViewController"},
    {"More", true, "MoreViewController"},
    {"TransactionInquiry", true, "TradingQueryViewController"},
    {"BillNumberRemittance", true, "BillNumberRemittanceVeiwController"},
    {"AlipayPayment", true, "TaobaoPaymentViewController"},
    {"GameCardRecharge", true, "GameCardRechargeViewController"},
    {"AlipayRecharge", true, "ZhiFubaoRechargeViewController"},
    {"TenpayRecharge", true, "CaiFutongRechargeViewController"},
    {"AccountDirectCharge", true, "AccountDirectChargeViewController"},
    {"TransferRemittance", true, "TransferRemittanceViewController"},
    {"BuySwipe", true, "BuyNuvexaViewController"},
    {"RepayLoan", true, "LoanLoadingViewController"},
    {"Movie", true, "CinemaViewController"},
    {"缴费", false, "PayBusinessViewController"},
}};

// The utility bills and their service types.
constexpr std::array<std::pair<const char*, int>, 4> kUtilities{
    {{"WaterRate", 0}, {"ElectricCharge", 1}, {"CommunictionFee", 3}, {"GasFee", 2}}};

std::optional<int> utilityType(const std::string& title) {
  for (const auto& [key, type] : kUtilities) {
    if (isTitle(title, key)) return type;
  }
  return std::nullopt;
}

}  // namespace

// --- helpers ---

void HomeViewController::push(const std::shared_ptr<platform::ui::ViewController>& screen) {
  if (auto nav = navigationController()) nav->push(screen, true);
}

void HomeViewController::pushScreen(const std::string& className) {
  if (auto screen = ScreenRegistry::shared().create(className)) push(screen);
}

void HomeViewController::pushLogin(const std::string& boxTitle) {
  auto login = LoginScreen::create();
  if (!login) return;
  if (auto* configurable = dynamic_cast<LoginScreen*>(login.get())) {
    configurable->setBoxTitle(boxTitle);
    configurable->setDelegate(std::static_pointer_cast<LoginViewControllerDelegate>(self()));
  }
  push(login);
}

bool HomeViewController::checkLogin(const HomeBoxData& box) const {
  const std::string& title = box.title();
  for (const char* key : {"Trafic_Violation2", "NetworkQuery", "More", "Reminder", "BuySwipe"}) {
    if (isTitle(title, key)) return true;
  }
  return User::currentUser().isLogined();
}

// --- the entries ---

void HomeViewController::selectHomeBoxItem(HomeBoxItem& item) {
  goBusTitle_.clear();
  item.hideTheNewTip();
  const std::string title = item.homeData()->title();
  if (!isTapExempt(title) && !User::currentUser().isLogined()) {
    pushLogin(title);
    return;
  }
  if (title == HomeDataUtil::title("彩票")) return openLottery();
  if (auto type = utilityType(title)) return openPublicService(*type);
  if (isTitle(title, "BalanceInquiry")) {
    goBusTitle_ = title;
    return theNextStep();
  }
  if (isTitle(title, "AA-Receivables")) return openReceivables();
  if (isTitle(title, "Add")) return openApplicationsList();
  if (title == "广告") return;
  if (isTitle(title, "MemberCard")) return openMemberCard();
  const std::string& target = item.targetController();
  if (target.empty() || target == HomeBoxData::kRootObjectClass) {
    // A restored box that lost its screen class opens what its title names.
    return gotoBusiness(title);
  }
  pushScreen(target);
}

void HomeViewController::gotoBusiness(const std::string& title) {
  if (isButtonPressing_) return;
  goBusTitle_.clear();
  if (title == HomeDataUtil::title("彩票")) return openLottery();
  if (isTitle(title, "Add")) return openApplicationsList();
  if (isTitle(title, "MemberCard")) return openMemberCard();
  if (title == "广告") return;
  if (isTitle(title, "BalanceInquiry")) {
    goBusTitle_ = title;
    return theNextStep();
  }
  if (isTitle(title, "AA-Receivables")) return openReceivables();
  if (auto type = utilityType(title)) return openPublicService(*type);
  if (title == "充值") return pushScreen("RechargeBusinessViewController");
  for (const ChainRow& row : kChain) {
    if (row.isKey ? isTitle(title, row.title) : title == row.title) return pushScreen(row.screen);
  }
  platform::log::info(kLog, "no business is named \"" + title + "\": nothing opened");
}

void HomeViewController::gotoFunctionView(const std::string& businessCode) {
  auto found = std::find_if(boxDataArray_.begin(), boxDataArray_.end(),
                            [&](const auto& box) { return box->pushIdentifier() == businessCode; });
  if (found == boxDataArray_.end()) {
    platform::log::info(kLog, "no box has the business code \"" + businessCode + "\": nothing opened");
    return;
  }
  const auto box = *found;
  if (checkLogin(*box)) {
    gotoBusiness(box->title());
  } else {
    pushLogin(box->title());
  }
}

void HomeViewController::gotoViewOfBoxTitle(const std::string& boxTitle) {
  getUnReadMsg();
  gotoBusiness(boxTitle);
}

void HomeViewController::gotoNewBusiness(const std::string& title) {
  const std::string copy = title;
  if (auto nav = navigationController()) nav->popToRoot(false);
  // The login may have ended while the user paid: a gated business asks for it again.
  auto box = std::find_if(boxDataArray_.begin(), boxDataArray_.end(),
                          [&](const auto& b) { return b->title() == copy; });
  if (box != boxDataArray_.end() && !checkLogin(**box)) {
    pushLogin(copy);
    return;
  }
  gotoBusiness(copy);
}

// --- the special entries ---

void HomeViewController::openLottery() {
  if (auto nav = navigationController()) nav->setNavigationBarHidden(true, false);
  const User& user = User::currentUser();
  AppServices::current().setLotterySession(
      LotterySessionValues{user.userToken(), user.loginName(), user.userId() + ";" + user.psamNo()});
  auto frame = ScreenRegistry::shared().create(kLotteryRootClass);
  if (!frame) return;
  ticketController_ = frame;
  push(frame);
}

void HomeViewController::openPublicService(int serviceType) {
  auto screen = ScreenRegistry::shared().create("PublicServiceViewController");
  if (!screen) return;
  if (!AppServices::current().initPublicService(*screen, serviceType)) {
    platform::log::info(kLog, "the utility-bill screen takes no service type in this build");
    return;
  }
  push(screen);
}

void HomeViewController::theNextStep() {
  if (!isTitle(goBusTitle_, "BalanceInquiry")) {
    gotoBusiness(HomeDataUtil::title("MemberCard"));
    return;
  }
  isButtonPressing_ = true;
  auto screen = ScreenRegistry::shared().create("BalanceSwiperViewController");
  if (auto* swipe = dynamic_cast<SwipeViewController*>(screen.get())) {
    auto comment = lableFrame(Rect{30, 200, 280, 40}, kBalanceComment);
    comment->setTag(kBalanceCommentTag);
    comment->setFont(platform::ui::Font::system(14));
    comment->setNumberOfLines(0);
    comment->setTextAlignment(platform::ui::TextAlignment::Left);
    comment->setTextColor(platform::ui::Color::black());
    swipe->customizeSwipeViewWithNavTitleAndComment(
        HomeDataUtil::title("BalanceInquiry"), std::nullopt, HomeDataUtil::title("DebitCardInquiryPlace"),
        HomeDataUtil::title("DebitCardInquiryPasswordPlace"), std::nullopt, HomeDataUtil::title("Next"), 0, comment);
    push(screen);
  } else if (screen) {
    platform::log::warning(kLog, "the balance screen is not a swipe screen: not opened");
  }
  isButtonPressing_ = false;
}

void HomeViewController::openMemberCard() {
  const std::weak_ptr<HomeViewController> weak = self();
  swiperValid([weak](bool ready) {
    auto me = weak.lock();
    if (me && ready) me->pushScreen("MemberCardInputViewController");
  });
}

void HomeViewController::openReceivables() {
  auto screen = ScreenRegistry::shared().create("ReceivableInfoViewController");
  if (!screen) return;
  if (!AppServices::current().setReceivableItem(*screen, HomeDataUtil::title("AA-Receivables"), "258", 0, 1)) {
    platform::log::info(kLog, "the receivables screen takes no item in this build");
    return;
  }
  push(screen);
}

void HomeViewController::openApplicationsList() {
  auto list = ScreenRegistry::shared().create(HomeDataUtil::kApplicationsListClass);
  if (!list) return;
  if (auto* apps = dynamic_cast<AllControllerTable*>(list.get())) {
    apps->setItems(boxDataArray_);
    apps->setExistArray(commonArray_);
    const std::weak_ptr<HomeViewController> weak = self();
    apps->delegate = [weak](const HomeBoxList& page) {
      if (auto me = weak.lock()) me->reloadTheCommonView(page);
    };
  }
  presentModal(platform::ui::NavigationController::create(list), true);
}

std::shared_ptr<platform::ui::Label> HomeViewController::lableFrame(Rect frame, const std::string& title) {
  auto label = platform::ui::Label::create(frame, title);
  label->setBackgroundColor(platform::ui::Color::clear());
  label->setTextAlignment(platform::ui::TextAlignment::Right);
  label->setFont(platform::ui::Font::system(16));
  return label;
}

int HomeViewController::ticketTab(const std::string& url) {
  const auto at = url.find("page=");
  if (at == std::string::npos || at + 5 >= url.size()) return 0;
  const char c = url[at + 5];
  if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
  const int tab = c - '0';
  return tab > 4 ? 0 : tab;
}

void HomeViewController::handleUrlForTicket(const std::string& url) {
  const int tab = ticketTab(url);
  const auto before = ticketController_.lock();
  gotoFunctionView(kLotteryCode);
  const auto after = ticketController_.lock();
  if (after && after != before) AppServices::current().selectLotteryTab(*after, tab);
}

}  // namespace nvx
