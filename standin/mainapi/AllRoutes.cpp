// Every feature's routes join the main-API stand-in here: one line per feature.
#include "standin/mainapi/BillsRoutes.h"
#include "standin/mainapi/MainApiState.h"
#include "standin/mainapi/PayRoutes.h"

namespace standin::mainapi {

void addAllRoutes(MainApiStandin& server) {
  standin::addCoreRoutes(server);
  standin::addPayRoutes(server);
  standin::addBillsRoutes(server);
}

}  // namespace standin::mainapi
