// The multi-pay routes of the main-API stand-in: the pay methods a business allows
// ("queryPayType"), the user's red packets ("queryTrans" 130002) and wallet balance ("queryTrans"
// 110001, both answered by the shared "queryTrans" route with the token and MAC checks), and the wallet path of "commitTransaction" (pay types ZX, ZH, XH), which the payment's
// commit route hands here.
//
// A wallet commit is judged as the real server does: the session's token, the MAC under the key
// issued to the virtual terminal at its sign-in, the pay password's block under that terminal's
// PIK, a 12-digit fen amount, the fields of its pay type, a series number never used before by the
// terminal, and a balance (plus chosen red packets) that covers the amount. Accepted commits are
// recorded and paid from the balance.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct MultiPayState {
  struct RedPacket {
    std::string giftno;
    int64_t amountFen = 0;
  };
  struct Commit {
    std::string type;  // "ZX", "ZH" or "XH"
    std::string busid;
    std::string termid;
    std::string pan;
    std::string pan2;
    std::string giftno;
    int64_t amountFen = 0;
    int64_t famountFen = 0;
    std::string series;
    bool withPin = false;
  };

  // The pay-method list per business code; a business not listed allows card and wallet.
  std::map<std::string, platform::Json> payTypes;
  int64_t balanceFen = 10000;
  int64_t transferableFen = 10000;
  std::vector<RedPacket> redPackets;
  // The user's wallet and red-packet accounts ("pan" of ZX/XH, "pan" of ZH).
  std::string walletPan = "6288000000000001";
  std::string giftPan = "6288000000000099";
  // Series numbers seen, per terminal.
  std::map<std::string, std::set<std::string>> seenSeries;
  std::vector<Commit> commits;
};

void addMultiPayRoutes(MainApiStandin& server);
// The wallet's answers of the shared "queryTrans" (110001 balance, 130002 red packets) from
// MultiPayState: call after a test changes the state (the commit route calls it itself).
void publishWalletData(MainApiStandin& server);

// For the payment's commit route: a commit whose "type" is a wallet pay type.
bool isWalletCommit(const MainApiStandin::RouteContext& call);
HttpStandin::Reply walletCommit(MainApiStandin::RouteContext& call);

}  // namespace standin
