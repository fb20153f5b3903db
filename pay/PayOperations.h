// The server operations of the card payment: the stored commit (commitTransaction,
// commitRemitTransaction or queryTrans, whatever address the business stored), the fee inquiry of
// credit-card repayment and the server parameters the pay screens read.
//
// A commit is prepared on the main thread, where the session's values (token, terminal keys) are
// taken, and sent synchronously on a worker behind the pay screen's spinner; the main loop keeps
// running meanwhile. Tests replace the operations through the pay screen's setOperations.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "pay/PayReply.h"
#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

class Tools;

// The card fields a pay screen adds to the stored request.
struct CardFields {
  std::string otrack;                  // the encrypted tracks of the swipe
  std::string rnd;                     // the reader's random number of the swipe
  std::optional<std::string> pinkey;   // the enciphered PIN block, for a six-digit PIN only
};

class PayOperations {
 public:
  // Sends the prepared request; runs on a worker, once.
  using Send = std::function<PayReply()>;
  // The fields as sent, for the time-out page's query number and amount.
  struct Prepared {
    Send send;
    std::vector<platform::net::PostField> fields;
  };

  virtual ~PayOperations() = default;
  // The operations against the main API.
  static std::shared_ptr<PayOperations> mainApi();
  // The main API's preparation of a stored request (address and fields as Tools keeps them) with
  // a pay screen's fields after the stored ones (main thread); the card commit and the multi-pay
  // commit share it.
  static Prepared prepareStored(const std::string& url, const std::vector<platform::net::PostField>& stored,
                                const std::vector<platform::net::PostField>& added);

  // The pending commit of Tools with the card fields (main thread).
  virtual Prepared commit(const Tools& tools, const CardFields& card) = 0;
  // The pending fee inquiry of Tools with the card fields (main thread).
  virtual Prepared feeInquiry(const Tools& tools, const CardFields& card) = 0;
  // A server parameter's entries ("retData" of a "0000" reply), nothing otherwise; the
  // completion runs once on the main thread.
  virtual void getParameter(std::string key, std::string dictCode,
                            std::function<void(std::optional<platform::Json>)> completion) = 0;
  // A synchronous request met an expired login ("1012" / "1023"): the login screen or the
  // re-login alert takes over (main thread).
  virtual void handleExpiredLogin() = 0;
};

}  // namespace nvx
