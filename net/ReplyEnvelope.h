// The one reader of the main API's reply envelope:
//   {"retStatus": {"retCode": "0000", "errMsg": "..."}, "retData": <the data>}
// Keys whose value is null count as absent (the reply reader drops them). Every reader of a reply
// body goes through ReplyEnvelope::parse and then asks the Envelope; nothing else looks into the
// body. Server input is never trusted: no exceptions, no assertions, checked field helpers only.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "net/RetStatusEntity.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Status.h"

namespace nvx {

class Envelope {
 public:
  // The code every successful reply carries.
  static constexpr std::string_view kOkCode = "0000";

  explicit Envelope(platform::Json top);

  // The whole reply object.
  const platform::Json& json() const { return top_; }
  // "retStatus" as read: "retCode" and "errMsg" when they are texts (else absent).
  const RetStatusEntity& status() const { return status_; }
  // The text "retCode", or nothing (absent, not a text, or "retStatus" not an object).
  std::optional<std::string> retCode() const;
  // The text "errMsg", or nothing.
  std::optional<std::string> errMsg() const;
  // "retStatus" is an object.
  bool hasStatus() const;
  // A member of "retStatus" as text (numbers in their shortest form): nothing when absent.
  std::optional<std::string> statusText(std::string_view key) const;
  // "retCode" is "0000".
  bool isOk() const { return status_.hasRetCode() && status_.retCode() == kOkCode; }
  // "retCode" is one of the expired-login codes ("1012", "1023").
  bool isSessionExpired() const;

  // "retData", or nullptr when absent.
  const platform::Json* retData() const;
  // "retData" when the reply is "0000" and carries data; nothing otherwise.
  std::optional<platform::Json> okData() const;
  // A member of "retData" (an object): nullptr when "retData" is not an object or lacks it.
  const platform::Json* dataMember(std::string_view key) const;
  // A member of "retData" as text (texts as they are, numbers in their shortest form, bools
  // "1"/"0"); nothing for anything else.
  std::optional<std::string> dataText(std::string_view key) const;

 private:
  platform::Json top_;
  RetStatusEntity status_;
};

class ReplyEnvelope {
 public:
  // The envelope of a reply body. Errors: an empty body, a body that is not JSON, a top level
  // that is not an object. An object without "retStatus" is an envelope without a code (the
  // ladder reads it as a data error).
  static platform::Result<Envelope> parse(std::string_view body);
};

}  // namespace nvx
