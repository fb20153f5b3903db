// One game-card type of the type list: its code ("cardType") and name ("cardDesc"); a key the
// reply lacks stays missing.
#pragma once
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class GameCardTypeParse {
 public:
  static GameCardTypeParse initWithDic(const platform::Json& dic);

  std::optional<std::string> cardType;
  std::optional<std::string> cardDesc;
};

}  // namespace nvx
