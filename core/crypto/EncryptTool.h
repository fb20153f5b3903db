// The client's ciphers over hex texts: two-key Triple DES (PIN blocks, terminal keys), single DES,
// the ANSI X9.19 retail MAC of requests, RSA with the service's public keys, and the transport
// key. Every operation is synchronous and keeps no state.
//
// Hex input is upper-case (0-9, A-F) and of even length; outputs are upper-case unless stated.
// Input outside these rules gives the empty result of the operation (nothing, or "" for the MAC
// and the XOR), never a partial one.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/crypto/CipherOperation.h"
#include "core/session/ClientSettings.h"
#include "core/crypto/SecureBytes.h"

namespace nvx {

class EncryptTool {
 public:
  // Two-key Triple DES, ECB without padding, over hex data (a whole number of 8-byte blocks)
  // under a 32-digit key. Nothing when data or key is empty or breaks the rules above.
  static std::optional<std::string> tripleDES(std::string_view data,
                                              CipherOperation encryptOrDecrypt,
                                              std::string_view key);
  static std::optional<std::string> encrypt(std::string_view data, std::string_view key);
  static std::optional<std::string> decrypt(std::string_view data, std::string_view key);

  // Single DES over each 8-byte block of hex data under a 16-digit key.
  static std::optional<std::string> operateDES(std::string_view data, std::string_view key,
                                               CipherOperation encryptOrDecrypt);
  static std::optional<std::string> encryptDES(std::string_view data, std::string_view key);
  static std::optional<std::string> decryptDES(std::string_view data, std::string_view key);

  // ANSI X9.19 MAC of the ASCII bytes of text (zero-padded to whole 8-byte blocks) under a
  // 32-digit key: 16 hex digits. "" when text or key is empty, the key is not 32 upper-case hex
  // digits, or the text is not ASCII.
  static std::string generateMac(std::string_view text, std::string_view macKey);

  // Digit-wise XOR of two hex texts, one upper-case digit per position of the first. "" when the
  // first is empty, the second is shorter, or either holds a non-hex character at those positions.
  static std::string xORWithString1(std::string_view string1, std::string_view string2);
  // The numeric values (0-15) of the hex digits of text, either case; empty when the text holds
  // another character.
  static std::vector<uint8_t> generateHexArrayFrom(std::string_view text);

  // RSA (PKCS#1 v1.5 padding) of the UTF-8 bytes of text under a PEM public key, as lower-case
  // hex. Nothing when the key is unreadable or not RSA, or the text too long for the key.
  static std::optional<std::string> encryptRSAWithPublicKey(std::string_view publicKeyPem,
                                                            std::string_view text);
  // RSA with the password key / the PIN key of the settings, as upper-case hex.
  static std::optional<std::string> getRSAEncryptionKeyFromString(std::string_view text);
  static std::optional<std::string> getPinRSAEncryptionKeyFromString(std::string_view text);

  // The bytes as lower-case hex without separators.
  static std::string convertToHexString(std::string_view data);

  // The transport key (32 hex digits) built from the two scrambled halves of the settings;
  // empty when they are missing or do not unscramble to two 32-digit hex texts.
  static SecretText getXorString();
  // The same from the given settings.
  static SecretText getXorString(const ClientSettings& settings);
};

}  // namespace nvx
