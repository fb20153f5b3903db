// The server operations of the two businesses that bend the swipe screen to their own use:
//   - the balance inquiry ("queryTrans" M30000): prepared here and stored in Tools; the swipe
//     screen adds the card and the PIN block and sends it like a commit;
//   - the points-card collection: the inquiry ("queryTrans" 17G) with the card fields, and the
//     commit ("commitTransaction" 17E), which sends the inquiry's fields again with the six
//     identity fields renewed.
// Replies are read here into what the screens act on. An inquiry whose answer was lost is simply
// asked again; a commit whose answer was lost may have moved points, so it is reported as open
// (the time-out page) and never as a failure.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/MainApiRequest.h"
#include "net/ServerReply.h"
#include "pay/PayOperations.h"
#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

class SwipeVariantOperations {
 public:
  static constexpr const char* kBalanceBusid = "M30000";
  static constexpr const char* kPointsInquiryBusid = "17G";
  static constexpr const char* kPointsCommitBusid = "17E";

  // --- balance inquiry ---
  // Stores the balance inquiry (uid, vercode, busid, termid, mobile, userToken) as the pending
  // request of Tools, replacing any other. Main thread.
  static void storeBalanceInquiry();

  // --- points card ---
  struct PointsForm {
    // Whether a text message is wanted; the number is sent only with the switch on.
    bool sms = false;
    std::string smsPhone;
    std::string account;
    std::string accountName;
    // The quantity as the amount field gives it ("5.00").
    std::string chargeMoney;
    CardFields card;
  };
  // The inquiry request: the profile fields, the text-message choice, the collection fields and
  // the card fields, in that order; the identity again in the address. Session values now.
  static MainApiRequest pointsInquiry(const PointsForm& form);
  // The commit request: every field of the inquiry in order, then the six profile fields of the
  // commit, each replacing the inquiry's field of its name and moving to the end.
  static MainApiRequest pointsCommit(const std::vector<platform::net::PostField>& postDatas);
  // The fields a request carries as built (before the request hook adds its own).
  static std::vector<platform::net::PostField> fieldsOf(const MainApiRequest& request);

  // What a points screen does with a reply.
  struct PointsReply {
    enum class Kind {
      Data,            // "0000" with an object
      Prompt,          // show prompt (a refusal, a reply that is not the expected shape)
      NetworkFailed,   // the request never reached the server, or its inquiry answer was lost
      OutcomeUnknown,  // a commit went out and its answer was lost: the time-out page
      Silent,          // expired login or cancelled: the handling took it over
    };
    Kind kind = Kind::Silent;
    platform::Json data;
    std::string prompt;
  };
  // isCommit: a lost answer is open rather than a plain network failure.
  static PointsReply readPointsReply(const ServerReply& reply, bool isCommit);
};

}  // namespace nvx
