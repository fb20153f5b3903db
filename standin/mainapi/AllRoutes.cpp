// Every feature's routes join the main-API stand-in here: one line per feature.
#include "standin/mainapi/HomeRoutes.h"
#include "standin/mainapi/InsuranceRoutes.h"
#include "standin/mainapi/LotteryTopUpRoutes.h"
#include "standin/mainapi/HomeServiceRoutes.h"
#include "standin/mainapi/AccountRoutes.h"
#include "standin/mainapi/BillsRoutes.h"
#include "standin/mainapi/MainApiState.h"
#include "standin/mainapi/MultiPayRoutes.h"
#include "standin/mainapi/PartnerRoutes.h"
#include "standin/mainapi/PayRoutes.h"
#include "standin/mainapi/ReceiptRoutes.h"
#include "standin/mainapi/ThemeRoutes.h"
#include "standin/mainapi/UtilityRoutes.h"
#include "standin/mainapi/ShopRoutes.h"
#include "standin/mainapi/SwipeVariantRoutes.h"

namespace standin::mainapi {

void addAllRoutes(MainApiStandin& server) {
  standin::addCoreRoutes(server);
  standin::addHomeRoutes(server);
  standin::addAccountRoutes(server);
  standin::addPayRoutes(server);
  standin::addMultiPayRoutes(server);
  standin::addReceiptRoutes(server);
  standin::addBillsRoutes(server);
  standin::addInsuranceRoutes(server);
  standin::addLotteryTopUpRoutes(server);
  standin::addHomeServiceRoutes(server);
  standin::addThemeRoutes(server);
  standin::addUtilityRoutes(server);
  standin::addPartnerRoutes(server);
  // One "createBill" for every kind of order: merchants' orders carry the checkout interface's
  // version, the lottery's top-up orders the lottery server's own.
  server.addRoute("createBill", [](MainApiStandin::RouteContext& call) {
    return call.fieldOr("ver") == "20060301" ? standin::createMerchantBill(call) : standin::createLotteryBill(call);
  });
  standin::addShopRoutes(server);
  standin::addSwipeVariantRoutes(server);
}

}  // namespace standin::mainapi
