// The server operations of calls from other apps, on the one request builder:
//   - the partner bank's message: its check and decryption ("paramsVerify"), the account bound to
//     the partner's user ("userVerifyBind/<orgId>", "thirdPartyVerifyBind"), binding the logged-in
//     account ("thirdPartyRediectRegiste/<loginName>"), releasing it ("thirdPartyUnbind") and the
//     bank app's XML check ("zhaoHangVerify");
//   - the merchant checkout: the bill ("createBill"), the bill inquiry ("queryTrans" M50005) and
//     the commit ("commitTransaction" M20013), prepared and stored for the pay screen.
// Every completion runs once on the main loop with what the caller acts on: the value, or the
// reply's code and message.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/NetService.h"
#include "net/ServerReply.h"
#include "platform/foundation/Json.h"

namespace nvx {

// The partner's message as it came (a Base64 JSON object in the call URL). Every member is kept
// as the text it came as; a member that is missing or not a scalar stays missing.
struct TPMessageEntity {
  std::optional<std::string> funcNo;
  std::optional<std::string> params;
  std::optional<std::string> charset;
  std::optional<std::string> channelCode;
  std::optional<std::string> crypType;
  std::optional<std::string> sign;
  std::optional<std::string> versionCode;

  static TPMessageEntity fromJson(const platform::Json& json);
  // The message member of a call URL: percent-escapes undone (UTF-8), Base64 decoded, JSON read
  // (nulls left out). A message that does not decode gives an entity without values.
  static TPMessageEntity fromUrlValue(std::string_view escapedBase64);
  // One line per member: "name : value".
  std::string description() const;
};

// The partner's message as the server verified and decrypted it.
struct TPVerifyDecryptEntity {
  std::optional<std::string> phoneNumber;
  std::optional<std::string> timeStamp;
  std::optional<std::string> callbackUrl;
  std::optional<std::string> channelNo;
  std::optional<std::string> userId;
  std::optional<std::string> userType;
  platform::Json bankcards = platform::Json::array();
  std::optional<std::string> bankOfDeposit;
  std::optional<std::string> accountName;

  static TPVerifyDecryptEntity fromJson(const platform::Json& json);
  std::string description() const;
};

// The account of the service bound to a partner's user.
struct BindSearch {
  std::optional<std::string> userId;
  std::optional<std::string> userToken;
  std::optional<std::string> loginName;

  static BindSearch fromJson(const platform::Json& json);
  std::string description() const;
};

// What a call ends with: the value on success, else how it failed, the server's code and the
// message to show.
template <class T>
struct PartnerAnswer {
  std::optional<T> value;
  FailureKind kind = FailureKind::None;
  std::string retCode;
  std::string message;

  bool ok() const { return value.has_value(); }
};

class AppSchedullerOperations {
 public:
  template <class T>
  using Completion = std::function<void(PartnerAnswer<T>)>;

  // How long a bill, inquiry or commit may take.
  static constexpr platform::Duration kTimeout = std::chrono::seconds(60);
  // The version the bill creation names.
  static constexpr const char* kBillVersion = "20060301";

  // --- partner calls (each shows the window's spinner but rediectRegiste) ---
  // The verified content ("retData", an object).
  static void paramsVerify(const TPMessageEntity& message, Completion<platform::Json> completion);
  static void userVerifyBind(const std::string& orgId, const std::string& orgUserId,
                             Completion<BindSearch> completion);
  // Succeeds on "0000" with or without data (then an empty object).
  static void rediectRegiste(const std::string& orgId, const std::string& orgUserId,
                             Completion<platform::Json> completion);
  static void verifyBind(const std::string& orgId, const std::string& orgUserId, Completion<BindSearch> completion);
  static void unbind(const std::string& orgId, const std::string& orgUserId, Completion<platform::Json> completion);
  static void zhaoHangVerify(const std::string& responseXml, const std::string& cryptType,
                             Completion<platform::Json> completion);

  // --- merchant checkout ---
  // The bill: a GET of "createBill" whose query is the pairs in order, every value escaped, and
  // the session's uid and vercode placed first (identityFirst) or after the pairs. The answer is
  // the reply's data object. The request is returned so that a newer bill can cancel it.
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  static std::shared_ptr<NetService> createBill(const Pairs& pairs, bool identityFirst,
                                                Completion<platform::Json> completion);
  // The query text of the bill creation's pairs: "name=value" joined by "&", values escaped.
  static std::string billQuery(const Pairs& pairs);
  // The bill inquiry M50005 behind the spinner; with wallet the marker "wallet" = "100". The
  // answer is the inquiry object when it carries a serial number ("sid").
  static void queryBill(const std::string& billno, const std::string& amountYuan, bool wallet,
                        Completion<platform::Json> completion);
  // Builds the commit M20013 and stores it as the one pending commit for the pay screen (nothing
  // is sent). lpmercd is left out when missing.
  static void storeCommit(const std::string& srcsid, const std::string& billno, const std::string& amountYuan,
                          const std::optional<std::string>& lpmercd);
};

}  // namespace nvx
