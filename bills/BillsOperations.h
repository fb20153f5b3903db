// The server operations of the bill and recharge forms, all on the one request builder:
//   - the inquiry ("queryTrans"): a form POST whose fields each business lists in its own order,
//     started on the asynchronous road behind the window's blocking spinner (the main loop keeps
//     running; the completion runs once on the main loop);
//   - the prepared commit ("commitTransaction"): built on the main thread with the session's values
//     captured there, and stored in Tools for the pay screen, which adds the card and sends it;
//   - the lists the pickers and the number history read (GET, uid and vercode first).
// The replies are read here into what a form acts on, so every form treats them alike: a failed
// exchange prompts "NetworkConnectionFailed", an expired login stops silently (the expired-login
// handling has taken over), a refusal prompts the server's text.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "net/MainApiRequest.h"
#include "net/ServerReply.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/foundation/Json.h"

namespace nvx {

// One form field: a value of the form, or a value of the session taken when the request is built.
struct BillField {
  std::string name;
  std::variant<std::string, SessionValue> value;
};
using BillFields = std::vector<BillField>;

// What a form does with a reply: act on the data, or show the prompt (when there is one).
template <class T>
struct BillReply {
  std::optional<T> data;
  std::optional<std::string> prompt;
};

class BillsOperations {
 public:
  static constexpr const char* kQueryTrans = "queryTrans";
  static constexpr const char* kCommitTransaction = "commitTransaction";
  // How long an inquiry or a commit may take.
  static constexpr platform::Duration kTimeout = std::chrono::seconds(60);

  // A form POST to the main API's path with the fields in the order given, 60 s, no persistent
  // connection; session values are taken now (main thread).
  static MainApiRequest form(std::string path, const BillFields& fields);

  // The inquiry behind the spinner. The completion gets the inquiry's data (an object carrying a
  // serial number "sid" and a price that is a whole number of fen), or the prompt to show, or
  // neither (expired login). Main thread.
  using InquiryCompletion = std::function<void(BillReply<platform::Json>)>;
  static void queryTrans(const BillFields& fields, InquiryCompletion completion);
  static BillReply<platform::Json> readInquiry(const ServerReply& reply);

  // Builds the commit request and stores it in Tools as the one pending commit, replacing any
  // other. Nothing is sent. Main thread.
  static void storeCommit(const BillFields& fields);

  // A GET list ("retData" a list) behind the spinner: path (with its own "/argument" segments),
  // uid and vercode, then the query segments given.
  using ListCompletion = std::function<void(BillReply<platform::Json>)>;
  static void getList(std::string path, std::vector<std::pair<std::string, std::string>> query,
                      ListCompletion completion);
  static BillReply<platform::Json> readList(const ServerReply& reply);

  // A GET that only confirms (update and delete of the number history): true on "0000", with or
  // without data.
  using ConfirmCompletion = std::function<void(BillReply<bool>)>;
  static void confirm(std::string path, std::vector<std::pair<std::string, std::string>> query,
                      ConfirmCompletion completion);
  static BillReply<bool> readConfirm(const ServerReply& reply);

  // The prompt of a reply that carries nothing to act on (nothing for an expired login or a
  // cancelled request), as every form shows it.
  static std::optional<std::string> failurePromptOf(const ServerReply& reply);

  // The business description's HTML of a business code ("getBusiDesc"); nothing when none.
  static void getBusiDesc(std::string busId, std::function<void(std::optional<std::string>)> completion);
};

}  // namespace nvx
