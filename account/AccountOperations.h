// The account's server operations: login, the number and code checks of registration and
// password retrieval, the check-code picture, the password reset and change, the wallet
// registration and the registration statistics record.
//
// Each operation builds its request, sends it and hands the screen one AccountReply on the main
// thread, exactly once. The screen given is the one that asked: the synchronous operations run
// behind its blocking spinner, and the expired-login handling of the reply reader acts on its
// navigation stack. Nothing here logs a password, a token or a code.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"

namespace nvx {

class NVXViewController;

// What one account request came back with, as the screens read it.
struct AccountReply {
  enum class Kind {
    NoConnection,  // no reply arrived: errorText is the localized "NetworkConnectionFailed"
    Unreadable,    // no reply envelope (not JSON, "retStatus" not an object, "retCode" not text)
    TokenHandled,  // the expired-login handling took the reply over: the screen stops silently
    Refused,       // another code (or "0000" where data was required): errorText tells why
    Success,       // "0000": data holds "retData" (the empty text when the reply had none)
  };
  Kind kind = Kind::NoConnection;
  std::string retCode;
  std::string errorText;
  platform::Json data;
  // The reply body as it came (the check-code picture).
  std::string body;

  bool ok() const { return kind == Kind::Success; }
};

// The registration form's values, sent in this order after the login name.
struct WalletRegistration {
  std::string loginName;
  std::string password;
  std::string pwdSecLevel;
  std::string realName;
  std::string idCardType = "ID";
  std::string idCardId;
  std::string email;
};

class AccountOperations {
 public:
  using Completion = std::function<void(AccountReply)>;

  // Login: GET "getUserLoginState/<phone>" with the identity, then "password" (the RSA hex of the
  // password); asynchronous with the window's spinner. Success carries the "retData" object;
  // every failure carries the text to show (expired-login codes go through the re-login ladder).
  static void getUserLoginState(std::string_view phone, std::string_view encryptPwd, Completion completion);

  // Number state: GET "getLoginNameState/<phone>", read as the raw envelope (no expired-login
  // handling): NoConnection, Unreadable, or retCode with any kind.
  static void getLoginNameState(NVXViewController& screen, std::string_view phone, Completion completion);
  // Text-message code: GET "getMobileVerifyCode/<phone>" with "smsType" before the identity.
  static void getMobileVerifyCode(NVXViewController& screen, std::string_view phone, std::string_view smsType,
                                  Completion completion);
  // Code check: GET "getMobileVerifyState/<token>/<code>".
  static void getMobileVerifyState(NVXViewController& screen, std::string_view token, std::string_view code,
                                   Completion completion);
  // Check-code picture: GET "getVerCodeImg/<token>.do"; the body is the picture (Success whenever
  // a reply arrived).
  static void getVerCodeImg(NVXViewController& screen, std::string_view token, Completion completion);
  // Check-code check: GET "getImgVerCodeVerifyResult/<token>/<code>".
  static void getImgVerCodeVerifyResult(NVXViewController& screen, std::string_view token, std::string_view code,
                                        Completion completion);
  // New password: PUT form to "resetUserPassword/<phone>": uid, vercode, password, pwdSecLevel,
  // token.
  static void resetUserPassword(NVXViewController& screen, std::string_view phone, std::string_view password,
                                std::string_view pwdSecLevel, std::string_view token, Completion completion);
  // Password change: PUT form to "updateUserPwd/<login name>": uid, vercode, password,
  // newPassword, pwdSecLevel, token (the session's user token).
  static void updateUserPwd(NVXViewController& screen, std::string_view loginName, std::string_view password,
                            std::string_view newPassword, std::string_view pwdSecLevel, std::string_view userToken,
                            Completion completion);
  // Registration: POST form to "walletregister/<login name>": password, pwdSecLevel, realName,
  // idCardType, idCardId, email, series, uid, vercode; asynchronous with the window's spinner.
  // Success carries the "retData" object.
  static void newRegister(const WalletRegistration& form, Completion completion);

  // The registration record: POST form to the statistics server's "insertStaticesInfo" with
  // infoStr and imei, sent off the main thread. completion gets whether the server answered
  // "0000".
  static void insertRegisterRecord(std::string_view infoStr, std::function<void(bool stored)> completion);
};

}  // namespace nvx
