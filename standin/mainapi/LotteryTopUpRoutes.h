// The lottery-account top-up of the main-API stand-in: "createBill" registers the lottery
// server's order as a bill, the bill is queried with the bill inquiry ("M50005") and paid with the
// bill commit ("M20013"). A lottery bill must be queried for the order's amount and is paid at
// most once; its commit carries no text-message fields (the bill-number road's commit does).
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "standin/MainApiStandin.h"

namespace standin {

struct LotteryTopUpState {
  struct Bill {
    // The order as the main server read it from the address.
    std::string merId;
    std::string orderId;
    std::string amount;     // fen, as sent
    std::string minCode;
    std::string randnum;
    std::string macType;
    std::string mac;
    std::string ver;        // the order's interface version: the first "ver" of the address
    int64_t amountFen = 0;
  };
  // By bill number.
  std::map<std::string, Bill, std::less<>> bills;
  // The name every bill answers with.
  std::string cnSName = "彩票账户充值";
};

void addLotteryTopUpRoutes(MainApiStandin& server);

}  // namespace standin
