// The balance inquiry and the points-card collection on the main-API stand-in, as business rules
// of the shared "queryTrans" and "commitTransaction" routes:
//   - "M30000": the card's balance; the PIN block is required and must decipher;
//   - "17G": the points inquiry (a collection account, its holder, a quantity, the card fields,
//     the text-message choice); the PIN block is optional but must decipher when sent;
//   - "17E": the collection itself, which must repeat the card fields, account, holder and
//     quantity of an inquiry answered before; each inquiry collects at most once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "standin/MainApiStandin.h"

namespace standin {

struct SwipeVariantState {
  struct Balance {
    std::string termid;
    bool withPin = false;
  };
  struct Points {
    std::string sid;
    std::string termid;
    std::string otrack;
    std::string rnd;
    std::string billno;
    std::string blname;
    int64_t amount = 0;      // hundredths of a point
    std::string issms;
    std::string mobileno;
    bool withPin = false;
    bool collected = false;
  };
  // The balance the inquiry answers (fen) and the card number shown.
  int64_t balanceFen = 1'234'567;
  std::string pan = "622202******0123";
  std::string pointsPan = "9558******6789";
  // What every points inquiry adds (hundredths): the service points and the swiped points are
  // the quantity plus the fee.
  int64_t feePoints = 150;
  std::vector<Balance> balances;
  std::vector<Points> inquiries;
  // Every collection accepted, in order.
  std::vector<Points> collections;
};

void addSwipeVariantRoutes(MainApiStandin& server);

}  // namespace standin
