#include "bills/BillsScreens.h"

#include "bills/AccountDirectChargeViewController.h"
#include "bills/BillNumberRemittanceVeiwController.h"
#include "bills/CaiFutongRechargeViewController.h"
#include "bills/GameCardRechargeViewController.h"
#include "bills/MobileRechargeViewController.h"
#include "bills/PublicDonationViewController.h"
#include "bills/TaobaoPaymentViewController.h"
#include "bills/ZhiFubaoRechargeViewController.h"
#include "core/shell/ScreenRegistry.h"

namespace nvx::bills {

namespace {

template <class Screen>
void add() {
  ScreenRegistry::shared().add(Screen::kClassName, [] { return std::make_shared<Screen>(); });
}

}  // namespace

void registerScreens() {
  add<BillNumberRemittanceVeiwController>();
  add<TaobaoPaymentViewController>();
  add<CaiFutongRechargeViewController>();
  add<AccountDirectChargeViewController>();
  add<MobileRechargeViewController>();
  add<ZhiFubaoRechargeViewController>();
  add<PublicDonationViewController>();
  add<GameCardRechargeViewController>();
}

}  // namespace nvx::bills
