#include "core/session/User.h"

#include <unicode/ustring.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "core/crypto/EncryptTool.h"
#include "core/text/TextNumber.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Text16.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {

namespace {

constexpr std::string_view kLogTag = "User";
// Terminal ids are 16 characters.
constexpr size_t kTerminalIdLength = 16;
// Larger fen amounts are not exact in a double.
constexpr double kMaxExactFen = 9007199254740992.0;   // 2^53

// The terminal-id rule: nothing below 16 characters, else the first 16, upper-cased.
std::string terminalId(std::string_view text) {
  std::u16string units = platform::toUtf16(text);
  if (units.size() < kTerminalIdLength) return {};
  units.resize(kTerminalIdLength);
  std::u16string upper(kTerminalIdLength * 3, u'\0');   // case mapping may lengthen the text
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = u_strToUpper(upper.data(), static_cast<int32_t>(upper.size()), units.data(),
                                static_cast<int32_t>(units.size()), "", &status);
  if (U_FAILURE(status)) return {};
  upper.resize(static_cast<size_t>(length));
  return platform::fromUtf16(upper);
}

// The first entry of a one-entry dictionary {terminal id: enciphered key}, when its value is a
// non-empty text.
struct EncipheredKey {
  std::string terminalId;
  std::string_view hex;
};

std::optional<EncipheredKey> firstEntry(const platform::Json& keyByTerminal) {
  if (!keyByTerminal.is_object() || keyByTerminal.empty()) return std::nullopt;
  auto first = keyByTerminal.begin();
  if (!first.value().is_string()) return std::nullopt;
  const auto& hex = first.value().get_ref<const std::string&>();
  if (hex.empty()) return std::nullopt;
  return EncipheredKey{first.key(), hex};
}

// Deciphers the first entry under key (Triple DES); nothing on any failure.
std::optional<TerminalKey> decipher(const platform::Json& keyByTerminal, std::string_view key,
                                    std::string_view keyName) {
  auto entry = firstEntry(keyByTerminal);
  if (!entry) return std::nullopt;
  auto clear = EncryptTool::decrypt(entry->hex, key);
  if (!clear) {
    platform::log::warning(kLogTag, std::string(keyName) + " could not be deciphered; left cleared");
    return std::nullopt;
  }
  TerminalKey result{std::move(entry->terminalId), SecretText(*clear)};
  secureWipe(*clear);
  return result;
}

std::optional<TerminalKey> decipherTPK(const platform::Json& keyByTerminal, std::string_view keyName) {
  if (!firstEntry(keyByTerminal)) return std::nullopt;
  SecretText transportKey = EncryptTool::getXorString();
  if (transportKey.empty()) {
    platform::log::error(kLogTag, "no transport key in the client settings; " +
                                      std::string(keyName) + " left cleared");
    return std::nullopt;
  }
  return decipher(keyByTerminal, transportKey, keyName);
}

std::optional<TerminalKey> decipherUnderTPK(const platform::Json& keyByTerminal,
                                            const std::optional<TerminalKey>& tpk,
                                            std::string_view keyName) {
  if (!tpk || tpk->key.empty()) return std::nullopt;
  return decipher(keyByTerminal, tpk->key, keyName);
}

}  // namespace

User& User::currentUser() { return platform::Process::current().shared<User>(); }

std::string User::currentOrRecordLoginName() {
  const std::string& name = currentUser().loginName();
  if (!name.empty()) return name;
  return platform::UserDefaults::standard().string(kLoginNameKey).value_or(std::string());
}

std::string User::amountFromFen(const platform::Json& fen) {
  double value = 0;
  if (fen.is_number_integer() && !fen.is_number_unsigned()) {
    value = static_cast<double>(fen.get<int64_t>());
  } else if (fen.is_number()) {
    value = fen.get<double>();
  } else if (fen.is_string()) {
    value = text::doubleValue(fen.get_ref<const std::string&>());
  } else if (fen.is_boolean()) {
    value = fen.get<bool>() ? 1 : 0;
  }
  if (!std::isfinite(value) || std::fabs(value) > kMaxExactFen) {
    platform::log::warning(kLogTag, "login amount out of range; left empty");
    return {};
  }
  const int64_t cents = std::llround(value);
  const uint64_t magnitude = cents < 0 ? static_cast<uint64_t>(-cents) : static_cast<uint64_t>(cents);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%s%" PRIu64 ".%02" PRIu64, cents < 0 ? "-" : "",
                magnitude / 100, magnitude % 100);
  return buffer;
}

void User::setPsamNo(std::string_view v) { psamNo_ = terminalId(v); }

void User::setPsamId(std::string_view v) { psamId_ = terminalId(v); }

void User::setPsamTPK(const platform::Json& keyByTerminal) {
  psamTPK_.reset();
  psamPIK_.reset();
  psamMAC_.reset();
  psamTPK_ = decipherTPK(keyByTerminal, "reader TPK");
}

void User::setPsamPIK(const platform::Json& keyByTerminal) {
  psamPIK_.reset();
  psamPIK_ = decipherUnderTPK(keyByTerminal, psamTPK_, "reader PIK");
}

void User::setPsamMAC(const platform::Json& keyByTerminal) {
  psamMAC_.reset();
  psamMAC_ = decipherUnderTPK(keyByTerminal, psamTPK_, "reader MAC key");
}

void User::setVpsamTPK(const platform::Json& keyByTerminal) {
  vpsamTPK_.reset();
  vpsamPIK_.reset();
  vpsamMAC_.reset();
  vpsamTPK_ = decipherTPK(keyByTerminal, "virtual TPK");
}

void User::setVpsamPIK(const platform::Json& keyByTerminal) {
  vpsamPIK_.reset();
  vpsamPIK_ = decipherUnderTPK(keyByTerminal, vpsamTPK_, "virtual PIK");
}

void User::setVpsamMAC(const platform::Json& keyByTerminal) {
  vpsamMAC_.reset();
  vpsamMAC_ = decipherUnderTPK(keyByTerminal, vpsamTPK_, "virtual MAC key");
}

std::optional<std::string_view> User::currentMac() const {
  if (!psamMAC_ || psamId_.empty() || psamMAC_->terminalId != psamId_) return std::nullopt;
  return psamMAC_->key.view();
}

std::string_view User::currentVMac() const {
  if (!vpsamMAC_) return {};
  return vpsamMAC_->key.view();
}

void User::forgetReader() {
  psamId_.clear();
  setPsamTPK(platform::Json());  // clears what was deciphered under it too
}

void User::outOfLogin() {
  preLoginName_ = loginName_;
  loginName_.clear();
  userToken_.clear();
  psamId_.clear();
  psamCardArry_.clear();
  psamTPKsArray_ = nullptr;
  psamPIKsArray_ = nullptr;
  psamMACsArray_ = nullptr;
  psamTPK_.reset();
  psamPIK_.reset();
  psamMAC_.reset();
  pan_.clear();
  giftno_.clear();
  amount_.clear();
  limitAmount_.clear();
  psamNo_.clear();
  tamount_.clear();
  vpsamTPKsArray_ = nullptr;
  vpsamPIKsArray_ = nullptr;
  vpsamMACsArray_ = nullptr;
  vpsamTPK_.reset();
  vpsamPIK_.reset();
  vpsamMAC_.reset();
}

}  // namespace nvx
