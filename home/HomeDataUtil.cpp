#include "home/HomeDataUtil.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/shell/ScreenRegistry.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

// A title is either a key of the string table or a literal used unchanged.
struct Title {
  const char* text;
  bool isKey;
};
constexpr Title key(const char* k) { return Title{k, true}; }
constexpr Title literal(const char* t) { return Title{t, false}; }

struct Row {
  Title title;
  const char* code;
  const char* screen;
  const char* background;
  const char* icon;
  const char* listIcon;
};

constexpr const char* kRoot = HomeBoxData::kRootObjectClass;

// The catalogue, in display order.
constexpr std::array<Row, 34> kCatalogue{{
    {key("CreditCardRepayment"), "M50001", "CCRepayInputViewController", "icon-bg-blue.png", "home_icon_card_payments.png", "second_icon_xykhk.png"},
    {key("TransferRemittance"), "M50010", "TransferRemittanceViewController", "icon-bg-blue.png", "home_icon_transfer.png", "second_icon_zzhk.png"},
    {key("彩票"), "B00013", kRoot, "icon-bg-orange2.png", "home_icon_lottery.png", "second_icon_cp.png"},
    {key("Trafic_Violation"), "172", "TraficViolationChooseViewController", "icon-bg-blue.png", "home_icon_traffic_fine.png", "second_icon_jfbl.png"},
    {key("BillNumberRemittance"), "M50005", "BillNumberRemittanceVeiwController", "icon-bg-orange.png", "home_icon_zdhfk", "second_icon_zdhfk.png"},
    {key("MobileRecharge"), "M20020", "MobileRechargeViewController", "icon-bg-blue.png", "home_icon_recharge_phone.png", "second_icon_sjcz.png"},
    {key("Trafic_Violation3"), "B00015", "WeekCouponViewController", "icon-bg-green.png", "home_icon_preferential.png", "second_icon_blth.png"},
    {key("BalanceInquiry"), "M30000", kRoot, "icon-bg-blue.png", "home_icon_yecx.png", "second_icon_yecx.png"},
    {key("Movie"), "B00014", "CinemaViewController", "icon-bg-green.png", "home_icon_movie.png", "second_icon_dyp.png"},
    {key("RepayLoan"), "168", "LoanLoadingViewController", "icon-bg-blue.png", "home_icon_loan.png", "second_icon_hdk.png"},
    {key("AlipayPayment"), "M50002", "TaobaoPaymentViewController", "icon-bg-blue.png", "home_icon_zfbfk.png", "second_icon_zfbfk.png"},
    {key("Insurance_Financing"), "173", "InsuranceChooseViewController", "icon-bg-blue.png", "home_icon_tpybx.png", "second_icon_tpybx.png"},
    {key("BillByStage"), "16L", "InstalmentViewController", "icon-bg-orange2.png", "home_icon_bill_staging.png", "second_icon_zdfq.png"},
    {key("CommunictionFee"), "B00003", "PublicServiceViewController", "icon-bg-orange.png", "home_icon_txf.png", "second_icon_txf.png"},
    {key("WaterRate"), "B00004", "PublicServiceViewController", "icon-bg-blue.png", "home_icon_sf.png", "second_icon_sf.png"},
    {key("ElectricCharge"), "B00005", "PublicServiceViewController", "icon-bg-orange2.png", "home_icon_df.png", "second_icon_df.png"},
    {key("GasFee"), "B00006", "PublicServiceViewController", "icon-bg-blue.png", "home_icon_rqf.png", "second_icon_rqf.png"},
    {key("TenpayRecharge"), "M50004", "CaiFutongRechargeViewController", "icon-bg-blue.png", "icon_cftcz.png", "second_icon_cftcz.png"},
    {key("AlipayRecharge"), "M50003", "ZhiFubaoRechargeViewController", "icon-bg-orange.png", "icon_zfbfk.png", "second_icon_zfbcz.png"},
    {key("GameCardRecharge"), "M50007", "GameCardRechargeViewController", "icon-bg-blue.png", "home_icon_game_recharge.png", "second_icon_yxczk.png"},
    {key("AccountDirectCharge"), "M50006", "AccountDirectChargeViewController", "icon-bg-blue.png", "icon_zhzc.png", "second_icon_zhzc.png"},
    {key("MemberCard"), "17E", "MemberCardInputViewController", "icon-bg-blue.png", "home_icon_jfgj.png", "second_icon_jfgj.png"},
    {key("TransactionInquiry"), "B00007", "TradingQueryViewController", "icon-bg-blue.png", "home_icon_deal.png", "second_icon_deal.png"},
    {key("NetworkQuery"), "B00008", "NVXMapViewController", "icon-bg-blue.png", "home_icon_map.png", "second_icon_wddt.png"},
    {key("Reminder"), "B00009", "ReminderViewController", "icon-bg-blue.png", "home_icon_txfu.png", "second_icon_txfw.png"},
    {key("CarRent"), "B00016", "SZRentCarViewContrllerViewController", "icon-bg-blue.png", "home_icon_szzc.png", "second_icon_szzc.png"},
    {literal("扫一扫"), "B00017", "Scan2DCodeViewController", "icon-bg-blue.png", "home_icon_sys.png", "second_icon_sys.png"},
    {literal("我要收款"), "17L", "ReceiptBankViewController", "icon-bg-blue.png", "home_icon_collection.png", "second_icon_wysk.png"},
    {literal("澜舟专区"), "B00018", "VornAreaViewController", "icon-bg-blue.png", "home_icon_lumo_area.png", "second_icon_vornzq.png"},
    {literal("还款管理"), "18I", "NCCRepayManageViewController", "icon-bg-green.png", "home_icon_payment_management.png", "second_icon_payment_management.png"},
    {literal("缴费"), "B00019", "PayBusinessViewController", "icon-bg-blue.png", "home_icon_payment.png", "second_icon_payment.png"},
    {literal("充值"), "B00020", "RechargeBusinessViewController", "icon-bg-blue.png", "home_icon_recharge.png", "second_icon_recharge.png"},
    {literal("还款提醒"), "B00021", "CCRepayRemindViewController", "icon-bg-blue.png", "home_icon_repayment_reminder.png", "second_icon_repayment_reminder.png"},
    {literal("手机号汇款"), "B00023", "PhoneNumberRemittanceViewController", "icon-bg-blue.png", "home_icon_sjhhk.png", "second_icon_sjhhk.png"},
}};

std::string resolve(const Title& t) { return t.isKey ? platform::Strings::localized(t.text) : std::string(t.text); }

const Row& row(std::string_view text) {
  for (const Row& r : kCatalogue) {
    if (text == r.title.text) return r;
  }
  return kCatalogue.front();   // the lists below name catalogue titles only
}

std::shared_ptr<HomeBoxData> make(const Row& r, uint32_t state, const char* background = nullptr) {
  return HomeBoxData::boxDataWithTitle(resolve(r.title), "", background ? background : r.background, r.icon, r.code,
                                       r.listIcon, r.screen, state);
}

// The green background of the credit-card box on the card page and the common page.
constexpr const char* kGreen = "icon-bg-green.png";

HomeBoxList list(std::initializer_list<const char*> titles, uint32_t state) {
  HomeBoxList boxes;
  for (const char* t : titles) {
    const Row& r = row(t);
    const bool greenCard = std::string_view(t) == "CreditCardRepayment";
    boxes.push_back(make(r, state, greenCard ? kGreen : nullptr));
  }
  return boxes;
}

HomeBoxList listInCatalogueLook(std::initializer_list<const char*> titles, uint32_t state) {
  HomeBoxList boxes;
  for (const char* t : titles) boxes.push_back(make(row(t), state));
  return boxes;
}

HomeBoxList commonPage(uint32_t state) {
  HomeBoxList boxes = list({"CreditCardRepayment", "还款管理", "TransferRemittance", "BalanceInquiry", "MobileRecharge",
                            "彩票", "Movie"},
                           state);
  boxes.push_back(HomeDataUtil::addBox());
  return boxes;
}

constexpr std::array<std::pair<const char*, const char*>, 44> kBusidAndClass{{
    {"M50001", "CCRepayInputViewController"},
    {"M20020", "MobileRechargeViewController"},
    {"M30000", "余额查询"},
    {"M50005", "BillNumberRemittanceVeiwController"},
    {"M20015", "GameCardRechargeViewController"},
    {"M20012", "CaiFutongRechargeViewController"},
    {"M50002", "TaobaoPaymentViewController"},
    {"M20011", "ZhiFubaoRechargeViewController"},
    {"M50008", "公益捐款"},
    {"M50006", "AccountDirectChargeViewController"},
    {"M80001", "TransferRemittanceViewController"},
    {"B00001", "购买刷卡器"},
    {"M50011", "集款匣"},
    {"168", "LoanLoadingViewController"},
    {"B00002", "ReceivableInfoViewController"},
    {"B00003", "PublicServiceViewController"},
    {"B00004", "PublicServiceViewController"},
    {"B00005", "PublicServiceViewController"},
    {"B00006", "PublicServiceViewController"},
    {"B00019", "PayBusinessViewController"},
    {"B00021", "CCRepayRemindViewController"},
    {"19A", "PhoneNumberRemittanceViewController"},
    {"B00007", "TradingQueryViewController"},
    {"B00008", "NVXMapViewController"},
    {"B00009", "ReminderViewController"},
    {"B00010", ""},
    {"16L", "InstalmentViewController"},
    {"305", "民生银行账单分期"},
    {"03060000", "广发银行账单分期"},
    {"B00011", "注册"},
    {"B00012", "广告"},
    {"B00013", "彩票"},
    {"B00014", "CinemaViewController"},
    {"B00015", "WeekCouponViewController"},
    {"173", "InsuranceChooseViewController"},
    {"172", "TraficViolationChooseViewController"},
    {"17E", "MemberCardInputViewController"},
    {"17L", "ReceiptBankViewController"},
    {"B00016", "SZRentCarViewContrllerViewController"},
    {"B00017", "Scan2DCodeViewController"},
    {"B00018", "VornAreaViewController"},
    {"B00020", "RechargeBusinessViewController"},
    {"18I", "NCCRepayManageViewController"},
    {"800003", "RechargeViewController"},
}};

// Screen classes named elsewhere in the home tables and the dispatch.
constexpr std::array<const char*, 16> kOtherScreens{{
    "AllControllerTable", "CreditCardRepaymentViewController", "MoreViewController", "HomeTradingQueryViewController",
    "BuyNuvexaViewController", "TabBarController", "MallIndexViewController", "ChooseBankAccountViewController",
    "BalanceSwiperViewController", "RechargeViewController", "ReceivableInfoViewController", "HomeViewController",
    "HomeMapViewController", "WalletViewController", "LoginViewController", "AdvertisingWebViewController",
}};

}  // namespace

std::string HomeDataUtil::title(std::string_view key) { return platform::Strings::localized(key); }

std::shared_ptr<HomeBoxData> HomeDataUtil::addBox(uint32_t state) {
  return HomeBoxData::boxDataWithTitle(title("Add"), "", "", "home_icon_add.png", kAddBusinessCode, "",
                                       kApplicationsListClass, state);
}

HomeBoxList HomeDataUtil::getAllBoxData() {
  HomeBoxList boxes;
  for (const Row& r : kCatalogue) boxes.push_back(make(r, HomeBoxData::kPageState));
  return boxes;
}

HomeBoxList HomeDataUtil::getCardBoxData() {
  return list({"CreditCardRepayment", "还款管理", "BillByStage", "还款提醒"}, HomeBoxData::kPageState);
}

HomeBoxList HomeDataUtil::getMobileBankBoxData() {
  return list({"TransferRemittance", "BalanceInquiry", "扫一扫", "我要收款", "手机号汇款", "RepayLoan",
               "Insurance_Financing", "TransactionInquiry"},
              HomeBoxData::kPageState);
}

HomeBoxList HomeDataUtil::getLifeHelpBoxData() {
  return list({"BillNumberRemittance", "MobileRecharge", "彩票", "Movie", "AlipayPayment", "缴费", "充值",
               "Trafic_Violation", "GameCardRecharge", "CarRent", "MemberCard", "Reminder", "NetworkQuery"},
              HomeBoxData::kPageState);
}

HomeBoxList HomeDataUtil::getMallBoxData() { return list({"澜舟专区", "Trafic_Violation3"}, HomeBoxData::kPageState); }

HomeBoxList HomeDataUtil::getMyStoreBoxData() { return commonPage(HomeBoxData::kRemovableState); }

HomeBoxList HomeDataUtil::getCommonBoxData() { return commonPage(HomeBoxData::kPageState); }

std::vector<HomeBoxList> HomeDataUtil::getAllItemArray() {
  constexpr uint32_t s = HomeBoxData::kRemovableState;
  return {
      listInCatalogueLook({"CreditCardRepayment", "还款管理", "BillByStage", "还款提醒"}, s),
      listInCatalogueLook({"Trafic_Violation3", "澜舟专区"}, s),
      listInCatalogueLook({"TransferRemittance", "BalanceInquiry", "扫一扫", "我要收款", "RepayLoan",
                           "Insurance_Financing", "TransactionInquiry", "手机号汇款"},
                          s),
      listInCatalogueLook({"BillNumberRemittance", "MobileRecharge", "彩票", "Movie", "AlipayPayment", "缴费", "充值",
                           "Trafic_Violation", "GameCardRecharge", "CarRent", "MemberCard", "Reminder",
                           "NetworkQuery"},
                          s),
  };
}

std::map<std::string, std::string> HomeDataUtil::getBusidAndClass() {
  return std::map<std::string, std::string>(kBusidAndClass.begin(), kBusidAndClass.end());
}

std::vector<std::string> HomeDataUtil::getAllCtr() {
  // The catalogue's screen classes without the root class and without repeats, in order.
  std::vector<std::string> classes;
  for (const Row& r : kCatalogue) {
    if (std::string_view(r.screen) == kRoot) continue;
    if (std::find(classes.begin(), classes.end(), r.screen) == classes.end()) classes.emplace_back(r.screen);
  }
  return classes;
}

std::vector<std::string> HomeDataUtil::getCommonCtr() {
  std::vector<std::string> classes;
  for (const auto& box : getCommonBoxData()) classes.push_back(box->targetCtr());
  return classes;
}

bool HomeDataUtil::isScreenClass(std::string_view name) {
  if (name.empty()) return false;
  if (name == kRoot || name == kApplicationsListClass) return true;
  for (const Row& r : kCatalogue) {
    if (name == r.screen) return true;
  }
  for (const auto& [code, value] : kBusidAndClass) {
    if (name == value && name.ends_with("Controller")) return true;
  }
  for (const char* other : kOtherScreens) {
    if (name == other) return true;
  }
  return ScreenRegistry::shared().has(name);
}

}  // namespace nvx
