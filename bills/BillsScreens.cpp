#include "bills/BillsScreens.h"

#include "bills/AccountDirectChargeViewController.h"
#include "bills/BalanceSwiperViewController.h"
#include "bills/MemberCardInputViewController.h"
#include "bills/BillNumberRemittanceVeiwController.h"
#include "bills/CaiFutongRechargeViewController.h"
#include "bills/GameCardRechargeViewController.h"
#include "bills/InsuranceChooseViewController.h"
#include "bills/InsuranceListViewController.h"
#include "bills/InsuranceViewController.h"
#include "bills/LifeServiceMenuViewController.h"
#include "bills/PublicServiceViewController.h"
#include "bills/MobileRechargeViewController.h"
#include "bills/PublicDonationViewController.h"
#include "bills/SZRentCarViewContrllerViewController.h"
#include "bills/TaobaoPaymentViewController.h"
#include "bills/TicketRechargeViewController.h"
#include "bills/ZhiFubaoRechargeViewController.h"
#include "core/shell/ScreenRegistry.h"
#include "net/DataStatisticsMap.h"

namespace nvx::bills {

namespace {

template <class Screen>
void add() {
  ScreenRegistry::shared().add(Screen::kClassName, [] { return std::make_shared<Screen>(); });
}

// The usage-statistics steps of each business, named after its inquiry code (the mobile
// recharge, which has none, after its commit code): the form, the pay screen of its business type,
// the receipt, further screens.
void registerSteps() {
  DataStatisticsMap::registerRows("M50005", {{"BillNumberRemittanceVeiwController", "1"},
                                             {"SwipeViewController2", "2"},
                                             {"SwipeResultViewController2", "3"}});
  DataStatisticsMap::registerRows("M50002", {{"TaobaoPaymentViewController", "1"},
                                             {"SwipeViewController3", "2"},
                                             {"SwipeResultViewController3", "3"}});
  DataStatisticsMap::registerRows("M50004", {{"CaiFutongRechargeViewController", "1"},
                                             {"SwipeViewController7", "2"},
                                             {"SwipeResultViewController7", "3"}});
  DataStatisticsMap::registerRows("M50006", {{"AccountDirectChargeViewController", "1"},
                                             {"SwipeViewController9", "2"},
                                             {"SwipeResultViewController9", "3"}});
  DataStatisticsMap::registerRows("M50003", {{"ZhiFubaoRechargeViewController", "1"},
                                             {"SwipeViewController8", "2"},
                                             {"SwipeResultViewController8", "3"},
                                             {"ZhiFuBaoIntroViewController", "4"}});
  DataStatisticsMap::registerRows("M50008", {{"PublicDonationViewController", "1"},
                                             {"SwipeViewController5", "2"},
                                             {"SwipeResultViewController5", "3"}});
  DataStatisticsMap::registerRows("M20020", {{"MobileRechargeViewController", "1"},
                                             {"RechargeMoneyAmountViewController", "2"},
                                             {"SwipeViewController6", "3"},
                                             {"NVXMultPayViewController6", "3"},
                                             {"SwipeResultViewController6", "4"}});
  DataStatisticsMap::registerRows("M50007", {{"GameCardRechargeViewController", "1"},
                                             {"SwipeViewController4", "2"},
                                             {"NVXMultPayViewController4", "2"},
                                             {"SwipeResultViewController4", "3"},
                                             {"GameCardItemViewController", "4"}});
  DataStatisticsMap::registerRows("JVQ001", {{"TicketRechargeViewController", "10"}});
  // The balance and points screens are swipe screens under their own class names: their step is
  // found by the class name itself.
  DataStatisticsMap::registerRows("M30000", {{"BalanceSwiperViewController", "1"}});
  DataStatisticsMap::registerRows("17G", {{"MemberCardInputViewController", "1"}});
}

}  // namespace

void registerScreens() {
  registerSteps();
  add<BillNumberRemittanceVeiwController>();
  add<TaobaoPaymentViewController>();
  add<CaiFutongRechargeViewController>();
  add<AccountDirectChargeViewController>();
  add<MobileRechargeViewController>();
  add<ZhiFubaoRechargeViewController>();
  add<PublicDonationViewController>();
  add<GameCardRechargeViewController>();
  add<InsuranceChooseViewController>();
  add<InsuranceViewController>();
  add<InsuranceListViewController>();
  add<TicketRechargeViewController>();
  add<SZRentCarViewContrllerViewController>();
  add<PayBusinessViewController>();
  add<RechargeBusinessViewController>();
  ScreenRegistry::shared().add(PublicServiceViewController::kClassName, [] { return PublicServiceViewController::create(); });
  add<BalanceSwiperViewController>();
  add<MemberCardInputViewController>();
}

}  // namespace nvx::bills
