// The hand-over of a utility bill to the multi-pay screen, shared by the utility screen and its
// amount step: the summary rows (area, organisation, kind, bill number, balance or arrears, the
// amount to pay), the card texts (debit cards only when the bill says "cardType" 1), the business
// type of the service type and the prepared commit.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "bills/BillPayScreen.h"
#include "platform/foundation/Json.h"

namespace nvx {

struct UtilityHandOver {
  const platform::Json* form = nullptr;
  int serviceType = 0;
  // The balance or arrears row's fen; nothing: no such row.
  std::optional<int64_t> priceFen;
  int64_t payFen = 0;
  // The localized key of the pay screen's done button.
  std::string doneTitleKey;
  BillFields commit;

  BillPayScreen payScreen() const;
};

}  // namespace nvx
