// The receipt's route of the main-API stand-in: "getMarketing" answers the marketing item kept
// for the business code of "busid" ("0000" without data when the business has none). The call
// carries the request identity only; a call without "busid" is refused.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct ReceiptState {
  // Business code -> the item's reply object ("aId", "aType", "aUrl", "note", "content", ...).
  std::map<std::string, platform::Json> marketing;
  // The "busid" of every call, in order.
  std::vector<std::string> asked;
};

void addReceiptRoutes(MainApiStandin& server);

}  // namespace standin
