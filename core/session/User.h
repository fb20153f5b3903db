// The one session object of the client: who is logged in, the profile of the login reply, and
// the reader and virtual terminals with their keys. It lives in memory for the run; only the last
// login name survives a restart, in the user default "nuvexa.loginname" (written by the login
// screen). Accessed on the main thread; only its creation is locked.
//
// Terminal keys arrive enciphered as one-entry dictionaries {terminal id: key as hex text}. The
// TPK is deciphered under the transport key, the PIK and MAC key under the clear TPK of the same
// terminal kind, so the TPK must be set first. Clear keys are kept in wiped-on-clear buffers and
// never logged, shown or written anywhere.
#pragma once
#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/crypto/SecureBytes.h"
#include "platform/foundation/Json.h"

namespace platform {
class Process;
}

namespace nvx {

// A clear terminal key under the id of its terminal (a one-entry dictionary).
struct TerminalKey {
  std::string terminalId;
  SecretText key;   // upper-case hex digits
};

class User {
 public:
  // User default: the last login name.
  static constexpr std::string_view kLoginNameKey = "nuvexa.loginname";

  // The shared session, created on first use.
  static User& currentUser();
  // loginName of the session, or, when nobody is logged in, the stored last login name ("" when
  // there is none either).
  static std::string currentOrRecordLoginName();

  // "amount" of the login reply (fen, a number or a numeric text) as yuan with two decimals:
  // 12345 is "123.45", 123456789 is "1234567.89" (decimal, never through floating point). A
  // missing or non-numeric value reads as 0 ("0.00"); a value beyond 2^53 fen or not finite gives
  // "" (the field is then left empty).
  static std::string amountFromFen(const platform::Json& fen);

  User(const User&) = delete;
  User& operator=(const User&) = delete;
  ~User() = default;

  // --- identity ---
  const std::string& loginName() const { return loginName_; }
  void setLoginName(std::string_view v) { loginName_ = v; }
  const std::string& userToken() const { return userToken_; }
  void setUserToken(std::string_view v) { userToken_ = v; }
  const std::string& userId() const { return userId_; }
  void setUserId(std::string_view v) { userId_ = v; }
  const std::string& preLoginName() const { return preLoginName_; }
  void setPreLoginName(std::string_view v) { preLoginName_ = v; }

  // --- profile (login reply, wallet screens) ---
  bool hasPwd() const { return hasPwd_; }
  void setHasPwd(bool v) { hasPwd_ = v; }
  const std::string& pan() const { return pan_; }
  void setPan(std::string_view v) { pan_ = v; }
  const std::string& giftno() const { return giftno_; }
  void setGiftno(std::string_view v) { giftno_ = v; }
  // Yuan text with two decimals (see amountFromFen for the login reply's value).
  const std::string& amount() const { return amount_; }
  void setAmount(std::string_view v) { amount_ = v; }
  const std::string& limitAmount() const { return limitAmount_; }
  void setLimitAmount(std::string_view v) { limitAmount_ = v; }
  bool status() const { return status_; }
  void setStatus(bool v) { status_ = v; }
  // The virtual terminal id: 16 upper-case characters or empty (the same rule as setPsamId).
  const std::string& psamNo() const { return psamNo_; }
  void setPsamNo(std::string_view v);
  bool isAsk() const { return isAsk_; }
  void setIsAsk(bool v) { isAsk_ = v; }
  const std::string& custlev() const { return custlev_; }
  void setCustlev(std::string_view v) { custlev_ = v; }
  const std::string& couponUrl() const { return couponUrl_; }
  void setCouponUrl(std::string_view v) { couponUrl_ = v; }
  const std::string& tamount() const { return tamount_; }
  void setTamount(std::string_view v) { tamount_ = v; }

  // --- reader terminal ---
  // The reader's serial number (KSN). A text of fewer than 16 characters (UTF-16 units) leaves it
  // empty; a longer one is cut to its first 16; the upper-cased copy is kept.
  const std::string& psamId() const { return psamId_; }
  void setPsamId(std::string_view v);
  const std::vector<std::string>& psamCardArry() const { return psamCardArry_; }
  void setPsamCardArry(std::vector<std::string> v) { psamCardArry_ = std::move(v); }
  // The enciphered key lists as received at sign-in (lists of one-entry dictionaries).
  const platform::Json& psamTPKsArray() const { return psamTPKsArray_; }
  void setPsamTPKsArray(platform::Json v) { psamTPKsArray_ = std::move(v); }
  const platform::Json& psamPIKsArray() const { return psamPIKsArray_; }
  void setPsamPIKsArray(platform::Json v) { psamPIKsArray_ = std::move(v); }
  const platform::Json& psamMACsArray() const { return psamMACsArray_; }
  void setPsamMACsArray(platform::Json v) { psamMACsArray_ = std::move(v); }

  // The clear keys. Each setter takes {terminal id: enciphered key as hex text} (the first entry
  // counts) and first clears its key; an empty or non-dictionary argument (null: "nothing"), a
  // value that is not a non-empty text, a missing TPK (for the PIK and MAC) or a value that does
  // not decipher (not upper-case hex of whole 8-byte blocks) leaves it cleared. Setting or
  // clearing a TPK also clears the PIK and MAC deciphered under the previous one.
  const std::optional<TerminalKey>& psamTPK() const { return psamTPK_; }
  void setPsamTPK(const platform::Json& keyByTerminal);
  const std::optional<TerminalKey>& psamPIK() const { return psamPIK_; }
  void setPsamPIK(const platform::Json& keyByTerminal);
  const std::optional<TerminalKey>& psamMAC() const { return psamMAC_; }
  void setPsamMAC(const platform::Json& keyByTerminal);

  // --- virtual terminal (signed in at every login) ---
  const platform::Json& vpsamTPKsArray() const { return vpsamTPKsArray_; }
  void setVpsamTPKsArray(platform::Json v) { vpsamTPKsArray_ = std::move(v); }
  const platform::Json& vpsamPIKsArray() const { return vpsamPIKsArray_; }
  void setVpsamPIKsArray(platform::Json v) { vpsamPIKsArray_ = std::move(v); }
  const platform::Json& vpsamMACsArray() const { return vpsamMACsArray_; }
  void setVpsamMACsArray(platform::Json v) { vpsamMACsArray_ = std::move(v); }
  const std::optional<TerminalKey>& vpsamTPK() const { return vpsamTPK_; }
  void setVpsamTPK(const platform::Json& keyByTerminal);
  const std::optional<TerminalKey>& vpsamPIK() const { return vpsamPIK_; }
  void setVpsamPIK(const platform::Json& keyByTerminal);
  const std::optional<TerminalKey>& vpsamMAC() const { return vpsamMAC_; }
  void setVpsamMAC(const platform::Json& keyByTerminal);

  // --- state ---
  // Both loginName and userToken are set.
  bool isLogined() const { return !loginName_.empty() && !userToken_.empty(); }
  // A reader terminal id and a PIK are set.
  bool isHardwareSign() const { return !psamId_.empty() && psamPIK_.has_value(); }
  // The reader's clear MAC key, only when it is the key of the current psamId. The view stays
  // valid until the MAC key changes.
  std::optional<std::string_view> currentMac() const;
  // The virtual terminal's clear MAC key; "" before the virtual sign-in.
  std::string_view currentVMac() const;

  // The reader went (or another was plugged in): its terminal id and its TPK, PIK and MAC key
  // are forgotten. The key lists as received and the virtual terminal stay.
  void forgetReader();

  // Logout: preLoginName takes loginName; the login, the reader, every key and key list and the
  // wallet fields are cleared. userId, hasPwd, status, isAsk, custlev, couponUrl and the stored
  // "nuvexa.loginname" stay.
  void outOfLogin();

 private:
  friend class platform::Process;
  User() = default;

  std::string loginName_;
  std::string userToken_;
  std::string userId_;
  std::string preLoginName_;

  std::atomic<bool> hasPwd_ = false;
  std::string pan_;
  std::string giftno_;
  std::string amount_;
  std::string limitAmount_;
  std::atomic<bool> status_ = false;
  std::string psamNo_;
  std::atomic<bool> isAsk_ = false;
  std::string custlev_;
  std::string couponUrl_;
  std::string tamount_;

  std::string psamId_;
  std::vector<std::string> psamCardArry_;
  platform::Json psamTPKsArray_;
  platform::Json psamPIKsArray_;
  platform::Json psamMACsArray_;
  std::optional<TerminalKey> psamTPK_;
  std::optional<TerminalKey> psamPIK_;
  std::optional<TerminalKey> psamMAC_;

  platform::Json vpsamTPKsArray_;
  platform::Json vpsamPIKsArray_;
  platform::Json vpsamMACsArray_;
  std::optional<TerminalKey> vpsamTPK_;
  std::optional<TerminalKey> vpsamPIK_;
  std::optional<TerminalKey> vpsamMAC_;
};

}  // namespace nvx
