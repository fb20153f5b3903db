// The utility bills of the main-API stand-in: the area list of a business, the hand-written form
// description of an area (unquoted keys, single quotes, values holding ":" and "'"), the bill
// inquiry "M50020" and the commits "M80003" (after an inquiry: the serial number, bill and code
// must match) and "M80004" (without one), both signed with "subbusid" in the place of "busid".
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct UtilityState {
  struct Bill {
    int64_t priceFen = 0;
    std::string yeorqf;     // "+": a balance
    std::string cardType;   // "1": debit cards only
  };
  struct Inquiry {
    std::string billno;
    std::string subbusid;
  };
  // getCityList/<business>.
  std::map<std::string, platform::Json, std::less<>> cities;
  // getBizConfig/<business>/<area>: the body's retData as written.
  std::map<std::string, std::string, std::less<>> descriptions;
  // The bills the inquiry knows, by bill number.
  std::map<std::string, Bill, std::less<>> bills;
  std::map<std::string, Inquiry, std::less<>> inquiries;

  // Two areas of water ("上海", "北京") with a description each, one bill "0571000001".
  UtilityState();
};

void addUtilityRoutes(MainApiStandin& server);

}  // namespace standin
