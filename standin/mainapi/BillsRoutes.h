// The bill and recharge businesses of the main-API stand-in: the inquiries ("queryTrans") and the
// commits' own checks per business code, the donation agencies and projects, the mobile-recharge
// denominations and number history, and the game cards. An inquiry issues a serial number ("sid")
// that the business's commit must send back ("srcsid") with the same bill and amount; the
// mobile recharge, which has no inquiry, names its denomination ("chgtype") instead, and the
// denomination's value is what the card is charged.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct BillsState {
  struct Inquiry {
    std::string busid;
    std::string billno;
    std::string mobileno;
    int64_t amountFen = 0;
    int64_t priceFen = 0;
  };
  struct UsedNumber {
    std::string mobileNo;
    std::string mobileMark;
  };
  // Every inquiry answered, by its serial number.
  std::map<std::string, Inquiry, std::less<>> inquiries;
  // Whether a bill commit must name a serial number this stand-in issued. Off, a commit with a
  // serial number of its own (the payment core's tests commit a bill without an inquiry) passes
  // unjudged by the bill rules; one that names an issued inquiry is always judged against it.
  bool requireInquiry = false;
  // The fee every inquiry adds to the amount.
  int64_t feeFen = 0;
  // The bill information the inquiries answer ("content").
  std::string content = "测试账单";
  // The Tenpay account holder's name ("username"; none when empty).
  std::string tenpayHolder = "张三";
  // getNGOList and getProjectListByNGO/<ngoId>.
  platform::Json agencies = platform::Json::array();
  std::map<std::string, platform::Json, std::less<>> projects;
  // getRechargeAmount: the denominations ({cardType, cardName, cardDesc, cardCode, cardOrder}).
  platform::Json rechargeAmounts = platform::Json::array();
  // getGameCardType and getGameCardAmountByCard/<cardType>.
  platform::Json gameCardTypes = platform::Json::array();
  std::map<std::string, platform::Json, std::less<>> gameCardAmounts;
  // The numbers recharged before, per login name.
  std::map<std::string, std::vector<UsedNumber>, std::less<>> usedNumbers;

  // The default lists: two agencies with projects, seven recharge denominations, two game cards.
  BillsState();
  // A denomination's value in fen (its "cardName" in yuan), by its code, from the recharge and
  // game-card lists.
  std::optional<int64_t> denominationFen(std::string_view cardCode) const;
};

void addBillsRoutes(MainApiStandin& server);

}  // namespace standin
