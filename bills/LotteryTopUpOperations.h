// The main-API side of the lottery-account top-up: the lottery server's order registered as a
// bill ("createBill"), the bill's rules text ("getBusiDesc" for the lottery), and the inquiry and
// commit of the bill (business codes "M50005" and "M20013").
//
// The order's fields come from another server and may hold any character ("+", "&", "=" in a
// MAC or a random number): each value is escaped before it goes into the address, so the main
// server reads exactly what the lottery server sent.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "bills/BillsOperations.h"
#include "lottery/core/TopUpOrder.h"

namespace nvx {

class LotteryTopUpOperations {
 public:
  static constexpr const char* kCreateBill = "createBill";
  static constexpr const char* kInquiryBusid = "M50005";
  static constexpr const char* kCommitBusid = "M20013";
  // The rules text of the lottery top-up.
  static constexpr const char* kRulesBusId = "B00013_3";
  static constexpr const char* kRulesId = "100";

  // What the screen does with the createBill reply.
  struct CreatedBill {
    enum class Outcome {
      Bill,     // billNo (never empty) and cnSName
      Silent,   // an expired login: its handling has taken over
      Prompt,   // text: a short prompt
      Alert,    // text: the alert "提示" with the server's (or the reader's) text
    };
    Outcome outcome = Outcome::Prompt;
    std::string billNo;
    std::string cnSName;
    std::string text;
  };

  // The address createBill is sent to (before the request hook's additions): the order's values
  // escaped, the identity, then the order's interface version as "ver".
  static MainApiRequest createBillRequest(const lottery::TopUpOrder& order);
  // Sends createBill (GET, no persistent connection) behind the window's spinner; the completion
  // runs once on the main loop. Main thread.
  static void createBill(const lottery::TopUpOrder& order, std::function<void(CreatedBill)> completion);
  static CreatedBill readCreatedBill(const ServerReply& reply);

  // The inquiry's fields in their order; amountYuan as the commit sends it ("100.00").
  static BillFields inquiryFields(const std::string& billNo, const std::string& amountYuan);
  // The commit's fields in their order.
  static BillFields commitFields(const std::string& srcsid, const std::string& billNo, const std::string& amountYuan);

  // The rules text: the HTML to show and the address it was asked at (the page's base), an
  // error text for an alert, or neither (an empty list, or a failure already prompted by the
  // caller: networkFailed).
  struct Rules {
    std::optional<std::string> html;
    std::string address;
    std::optional<std::string> alert;
    bool networkFailed = false;
  };
  static MainApiRequest rulesRequest();
  static void rules(std::function<void(Rules)> completion);
  static Rules readRules(const ServerReply& reply, std::string address);
};

}  // namespace nvx
