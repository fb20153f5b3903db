// The server operations of the insurance road, all on the one request builder, each carrying the
// identity query (uid and vercode) in its address:
//   - the product list ("getInsuranceList") and one product's record ("getInsuranceInfo/<id>");
//   - the user's own record that fills the insured-person form ("getUserInfo/<login name>");
//   - the area and country lists of the pickers;
//   - the rules of a product (the business description whose id is the product's id);
//   - the policy inquiry (business "174") and the prepared commit (business "173"), which is
//     stored in Tools for the pay screen, never sent from here.
// The policy itself (dates, insured person, area, country) is a PolicyOrder: the rules of its
// dates and of its policy text are pure functions here, so every screen reads them alike.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/MainApiRequest.h"
#include "net/NetService.h"
#include "net/ServerReply.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Json.h"

namespace nvx {

// How an insurance request ended, as the screens act on it.
struct InsuranceReply {
  enum class Outcome {
    Data,      // "0000": data holds "retData" (null when there was none)
    Refused,   // the server or the reply refused: message is the text to show
    NoAnswer,  // no answer came (nothing reached the server, or the answer was lost)
    Silent,    // an expired login (its handling took over) or a cancelled request
  };
  Outcome outcome = Outcome::NoAnswer;
  platform::Json data;
  std::string message;

  static InsuranceReply of(const ServerReply& reply);
};

// One policy as the date screen sends it.
struct PolicyOrder {
  std::string name;
  std::string identityCard;
  std::string phone;   // without separators
  std::string email;
  // The product record with "province" and "city" added by the form.
  platform::Json product = platform::Json::object();
  // The chosen country entry, for products that need one.
  std::optional<platform::Json> country;
  std::string startDate;   // "yyyy-MM-dd"
  std::string endDate;     // "yyyy-MM-dd"

  // "start|end|name|e-mail|province|city", then "|<English country name>|<country code>|" when a
  // country was chosen.
  std::string policyText() const;
};

class InsuranceOperations {
 public:
  static constexpr const char* kInquiryBusid = "174";
  static constexpr const char* kCommitBusid = "173";
  // The longest cover a product may name, in days (a hundred years).
  static constexpr int64_t kMaxPeriodDays = 36600;

  using Completion = std::function<void(InsuranceReply)>;

  // --- requests (main thread); the completion runs once on the main loop ---
  // The list asks with isPromotion = willNotpromotion ("0" for the promotion list, "1" for the
  // plain one).
  static std::shared_ptr<NetService> getInsuranceList(const std::string& willNotpromotion, Completion completion);
  static std::shared_ptr<NetService> getInsuranceInfo(const std::string& isanceId, Completion completion);
  static std::shared_ptr<NetService> getUserInfo(Completion completion);
  // The pickers' lists: the areas of every province, and the countries.
  static MainApiRequest cityListRequest();
  static MainApiRequest countryListRequest();
  static std::shared_ptr<NetService> getList(const MainApiRequest& request, Completion completion);
  static std::shared_ptr<NetService> getRules(const std::string& isanceId, Completion completion);
  // The policy inquiry behind the window's spinner; data holds the reply's record ("sid").
  static std::shared_ptr<NetService> queryPolicy(const PolicyOrder& order, Completion completion);
  // Builds the policy's commit with the inquiry's serial number and stores it in Tools as the one
  // pending commit. Nothing is sent.
  static void storeCommit(const PolicyOrder& order, const std::string& sid);

  // --- rules ---
  // The product's cover in days: its "period" as a whole number from 1 to kMaxPeriodDays; nothing
  // for a product without one (or with one that is no such number).
  static std::optional<int64_t> coverDays(const platform::Json& product);
  // The last day of a cover of days days that starts on start ("yyyy-MM-dd"): the start day
  // counts, so one day ends on the start date. Nothing when start cannot be read or days < 1.
  static std::optional<std::string> endDate(std::string_view start, int64_t days);
  // The calendar day (local time) days days after the moment, "yyyy-MM-dd".
  static std::string dayAfter(platform::WallTime moment, int days);
  // The text with its first "%@" replaced by value (the string table's formats of one value).
  static std::string format(std::string_view text, std::string_view value);
  // A text value of a record ("" when missing or not a text).
  static std::string text(const platform::Json& record, std::string_view key);
};

}  // namespace nvx
