// Every feature's routes join the main-API stand-in here: one line per feature.
#include "standin/mainapi/HomeRoutes.h"
#include "standin/mainapi/AccountRoutes.h"
#include "standin/mainapi/BillsRoutes.h"
#include "standin/mainapi/MainApiState.h"
#include "standin/mainapi/MultiPayRoutes.h"
#include "standin/mainapi/PayRoutes.h"
#include "standin/mainapi/ReceiptRoutes.h"
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
  standin::addSwipeVariantRoutes(server);
}

}  // namespace standin::mainapi
