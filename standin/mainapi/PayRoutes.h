// The card payment's routes of the main-API stand-in: the commits ("commitTransaction",
// "commitRemitTransaction"). Each checks what the real server checks (the session's token, the
// MAC under the key issued at check-in, the PIN block under the PIN key pair and the issued PIK,
// a 12-digit fen amount, the card fields) and records every commit it accepted, so that a test
// can count them. The fee inquiry and the server parameters are the shared "queryTrans" and
// "getParameter" of the core routes (setQueryTransData, setParameter); misbehaviour (504,
// "1030", a dropped connection after processing ...) is scripted with script().
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct PayState {
  struct Commit {
    std::string method;        // "commitTransaction" or "commitRemitTransaction"
    std::string busid;
    std::string termid;
    int64_t amountFen = 0;
    std::optional<std::string> srcsid;
    bool withPin = false;      // a PIN block came and was well formed
  };
  std::vector<Commit> commits;
  // The data the next successful commits answer with besides the fields the route fills.
  platform::Json extraData = platform::Json::object();
};

void addPayRoutes(MainApiStandin& server);

}  // namespace standin
