// One denomination of an amount list (mobile recharge, game cards): what is shown and charged
// ("cardName", in yuan), the server's code of it ("cardCode": the mobile recharge's "chgtype", the
// game-card inquiry's "billno"), and its type, description and order. A field the reply lacks
// stays missing (never the text of a missing value).
#pragma once
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class GameCardAmountParse {
 public:
  // From one reply object; anything else gives an entry without fields.
  static GameCardAmountParse initWithDic(const platform::Json& dic);

  std::optional<std::string> cardType;
  std::optional<std::string> cardName;
  std::optional<std::string> cardDesc;
  std::optional<std::string> cardCode;
  std::optional<std::string> cardOrder;
};

}  // namespace nvx
