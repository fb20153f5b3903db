// The account's methods of the main-API stand-in: login (the password RSA-deciphered with the
// private half of the password key pair), the number state, text-message codes and their check,
// the check-code picture (a PNG made here) and its check, the password reset, the wallet
// registration and the password change. It keeps users, passwords and codes, so that a
// registration, a login, a reset and a change work against each other.
#pragma once
#include <map>
#include <optional>
#include <string>

#include "standin/MainApiStandin.h"

namespace standin {

namespace mainapi {

struct AccountState {
  struct User {
    std::string password;
    std::string userId;
    std::string psamNo;
  };
  // A text-message code sent for a number, under the token the code request answered.
  struct SmsCode {
    std::string phone;
    std::string smsType;   // "1" registration, "2" retrieval
    std::string code;
    bool confirmed = false;
  };

  std::map<std::string, User, std::less<>> users;
  std::map<std::string, SmsCode, std::less<>> smsCodes;
  // The code each check-code picture shows, under the client's token (used once).
  std::map<std::string, std::string, std::less<>> pictureCodes;
  int nextUserId = 1001;

  // The code of the latest text message sent to the number, if any.
  std::optional<std::string> lastSmsCode(std::string_view phone) const;
};

}  // namespace mainapi

// Registers the account routes; the stand-in fixture's test user (its login name and password,
// the virtual terminal kVirtualTermid) is registered from the start.
void addAccountRoutes(MainApiStandin& server);

// Codes of the account routes besides the shared ones.
namespace account {
inline constexpr std::string_view kUnregistered = "1002";   // getUserLoginState, getLoginNameState
inline constexpr std::string_view kRegistered = "1003";     // getLoginNameState, walletregister
inline constexpr std::string_view kWrongPassword = "1004";  // getUserLoginState, updateUserPwd
inline constexpr std::string_view kWrongCode = "3002";      // getMobileVerifyState, getImgVerCodeVerifyResult
inline constexpr std::string_view kNotVerified = "3004";    // resetUserPassword, walletregister
// The check-code picture's size in pixels.
inline constexpr int kPictureWidth = 80;
inline constexpr int kPictureHeight = 30;
}  // namespace account

}  // namespace standin
