#include "pay/PinBlock.h"

#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"

namespace nvx {

bool PinBlock::isSixDigits(std::string_view pin) {
  if (pin.size() != 6) return false;
  for (char c : pin) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::optional<SecretText> PinBlock::clearBlock(std::string_view pin) {
  if (!isSixDigits(pin)) return std::nullopt;
  char block[16] = {'0', '6'};
  for (size_t i = 0; i < 6; ++i) block[2 + i] = pin[i];
  for (size_t i = 8; i < 16; ++i) block[i] = 'F';
  SecretText text(std::string_view(block, sizeof block));
  secureWipe(block, sizeof block);
  return text;
}

std::optional<std::string> PinBlock::pinkey(std::string_view pin, std::string_view pik) {
  auto block = clearBlock(pin);
  if (!block) return std::nullopt;
  auto underPik = EncryptTool::encrypt(block->view(), pik);
  if (!underPik || underPik->size() != 16) return std::nullopt;
  auto enciphered = EncryptTool::getPinRSAEncryptionKeyFromString(*underPik);
  secureWipe(*underPik);
  if (!enciphered || enciphered->size() != 256) return std::nullopt;
  return enciphered;
}

std::optional<SecretText> PinBlock::readerPik(const User& user) {
  const auto& pik = user.psamPIK();
  if (user.psamId().empty() || !pik || pik->terminalId != user.psamId() || pik->key.empty()) return std::nullopt;
  return SecretText(pik->key.view());
}

std::optional<SecretText> PinBlock::virtualPik(const User& user) {
  const auto& pik = user.vpsamPIK();
  if (user.psamNo().empty() || !pik || pik->terminalId != user.psamNo() || pik->key.empty()) return std::nullopt;
  return SecretText(pik->key.view());
}

}  // namespace nvx
