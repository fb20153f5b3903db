// The PIN block of a card payment: "06", the six PIN digits and "FFFFFFFF" (16 hex digits), under
// two-key Triple DES with the terminal's clear PIN key (PIK), then RSA (PKCS#1 v1.5) with the
// client's PIN public key: the "pinkey" field, 256 upper-case hex digits. The clear block and the
// PIN never leave this class except in wiped buffers.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "core/crypto/SecureBytes.h"

namespace nvx {

class User;

class PinBlock {
 public:
  PinBlock() = delete;

  // Exactly six ASCII digits.
  static bool isSixDigits(std::string_view pin);
  // "06" + pin + "FFFFFFFF" for a six-digit PIN; nothing for any other.
  static std::optional<SecretText> clearBlock(std::string_view pin);
  // The enciphered block under the PIK (32 hex digits); nothing when the PIN is not six digits
  // or a cipher step fails.
  static std::optional<std::string> pinkey(std::string_view pin, std::string_view pik);
  // The clear PIK of the reader terminal in use (psamId), when the session holds one for it.
  static std::optional<SecretText> readerPik(const User& user);
  // The clear PIK of the wallet's virtual terminal (psamNo), when the session holds one for it.
  static std::optional<SecretText> virtualPik(const User& user);
};

}  // namespace nvx
