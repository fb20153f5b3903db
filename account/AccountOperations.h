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
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// The identity data sent with a reader binding and a profile update. The e-mail is left out of
// the request when it has no value.
struct IdentityData {
  std::string loginName;
  std::string realName;
  std::string idCardId;
  std::optional<std::string> email;
};

// The device fields of a reader binding besides the identity data.
struct ReaderBinding {
  IdentityData identity;
  std::string psamNo;
  std::string telecomOperators;
  std::string mobilePhoneModel;
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

  // --- identity data, reader binding and service level (behind the screen's spinner) ---
  // The user's data: GET "getUserInfo/<login name>" with userToken, verifyType "1", then the
  // identity. Success carries the "retData" object; a "0000" with anything else is refused.
  static void getUserInfo(NVXViewController& screen, std::string_view loginName, Completion completion);
  // The identity-card photos: GET "getUserIdCardImage/<login name>.do" with uid, vercode,
  // userToken and idCardImageName (escaped), one request per name in order (at most two). data
  // holds one entry per name fetched: the body when it is a whole PNG or JPEG picture, else null
  // (an error page, a cut-off or huge picture). A fetch that fails in transport ends with
  // NoConnection, the rest unfetched (data holds what came before).
  static void getUserIdCardImages(NVXViewController& screen, std::string_view loginName,
                                  std::vector<std::string> names, Completion completion);
  // The reader binding: POST form "bindPsamCardToUser", 60 s, on a worker: uid, vercode,
  // loginName, userToken, psamNo, realName, idCardType "ID", idCardInfo.idCardId, deviceId,
  // telecomOperators, mobilePhoneModel, mobilePhoneProduct, mobilePhoneManuFacturer and email
  // when there is one. Any "0000" is a success (data the empty text without "retData").
  static void bindPsamCardToUser(NVXViewController& screen, const ReaderBinding& binding, Completion completion);
  // The profile update: PUT form "updateUserInfo/<login name>": uid, vercode, userToken,
  // realName, idCardType "ID", idCardId, email when there is one.
  static void updateUserInfo(NVXViewController& screen, const IdentityData& data, Completion completion);
  // The photo upload: POST multipart "idCardImageUpload/<login name>" with uid and vercode and
  // the JPEG pictures given as the parts "positiveImage" and "nagativeImage". The pictures go
  // through files in the temporary folder that are removed when the request has ended.
  static void idCardImageUpload(NVXViewController& screen, std::string_view loginName,
                                std::optional<std::string> frontJpeg, std::optional<std::string> backJpeg,
                                Completion completion);
  // The service-level upgrade, 60 s each: the state query, PUT form "securityLevelUpQuery/<login
  // name>" with userToken, uid, vercode; the application, PUT form "securityLevelUpApply/<login
  // name>" with levelCode "S01", applyReason, userToken, uid, vercode. Any "0000" is a success.
  static void securityLevelUpQuery(NVXViewController& screen, std::string_view loginName, Completion completion);
  static void securityLevelUpApply(NVXViewController& screen, std::string_view loginName, std::string_view reason,
                                   Completion completion);
};

}  // namespace nvx
