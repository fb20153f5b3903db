// The main-API stand-in's routes for calls from other apps:
//   - partner banks: "paramsVerify" checks a partner message's signature (HMAC-SHA256 under the
//     channel's key), refuses a message seen before, and decrypts its parameters (AES-256-CBC
//     under the channel's key); "userVerifyBind/<orgId>" and "thirdPartyVerifyBind" name the
//     account bound to the partner's user and open a session for it ("1089" none bound, "1002"
//     no such user); "thirdPartyRediectRegiste/<loginName>" binds a logged-in account;
//     "thirdPartyUnbind" releases a binding; "zhaoHangVerify" answers what a test scripts;
//   - merchant checkouts: "createBill" keeps the merchant's bill; the bill inquiry M50005 and the
//     commit M20013 of such a bill are judged here (the amount billed in fen, the serial number
//     issued, one payment per bill); other bills go to the rules that were there before.
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

struct PartnerState {
  struct Channel {
    std::string signKey;    // HMAC key
    std::string cipherKey;  // 32 bytes
  };
  struct Bill {
    std::string merId;
    std::string orderId;
    std::string lpmercd;
    int64_t amountFen = 0;
    std::string sid;  // the inquiry's serial number, once asked
    bool paid = false;
  };

  // The partner channels by channel code.
  std::map<std::string, Channel> channels{{"DY0001", {"dy-sign-key-0001", "0123456789abcdef0123456789abcdef"}}};
  // Signatures seen: a message is accepted once.
  std::set<std::string> seenSigns;
  // Partner user id -> the login name of the bound account.
  std::map<std::string, std::string> bindings;
  // Phone numbers the service has no user for ("1002").
  std::set<std::string> unknownUsers;
  // The merchant bills by bill number, and the query fields of every bill creation.
  std::map<std::string, Bill> bills;
  std::vector<std::map<std::string, std::string>> billRequests;
  // The answer of "zhaoHangVerify" (refused while nothing is set).
  std::optional<platform::Json> zhaoHangReply;
  int issued = 0;
};

void addPartnerRoutes(MainApiStandin& server);
// "createBill" for a merchant's order (version "20060301"; the route itself dispatches by the order's kind).
HttpStandin::Reply createMerchantBill(MainApiStandin::RouteContext& call);

// A partner app's message for a function: the content encrypted and signed for the channel, as
// the Base64 of its JSON ({funcNo, params, channelCode, crypType, sign, charset, versionCode}).
std::string partnerMessage(MainApiStandin& server, const std::string& channel, const std::string& funcNo,
                           const platform::Json& content);

}  // namespace standin
