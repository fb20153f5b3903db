#include "app/core/BankCardEntity.h"

#include "app/core/UserDefaultsExt.h"

namespace nvx {

namespace {

std::string textOf(const platform::Json& json, std::string_view key) {
  const platform::Json* value = platform::json::member(json, key);
  return value && value->is_string() ? value->get<std::string>() : std::string();
}

}  // namespace

BankCardEntity BankCardEntity::initWithJson(const platform::Json& json) {
  BankCardEntity e;
  if (!json.is_object()) return e;
  e.bankCode_ = textOf(json, "bankCode");
  e.bankName_ = textOf(json, "bankName");
  e.cardType_ = textOf(json, "cardType");
  e.cardName_ = textOf(json, "cardName");
  return e;
}

BankCardEntity::BankCardEntity(const platform::Unarchiver& coder)
    : bankCode_(coder.text(archiveKey("bankCode")).value_or("")),
      bankName_(coder.text(archiveKey("bankName")).value_or("")),
      cardType_(coder.text(archiveKey("cardType")).value_or("")),
      cardName_(coder.text(archiveKey("cardName")).value_or("")) {}

std::string BankCardEntity::description() const {
  return "\nbankCode : " + bankCode_ + "\nbankName : " + bankName_ + "\ncardType : " + cardType_ +
         "\ncardName : " + cardName_ + "\n";
}

void BankCardEntity::encode(platform::Archiver& coder) const {
  coder.setText(archiveKey("bankCode"), bankCode_);
  coder.setText(archiveKey("bankName"), bankName_);
  coder.setText(archiveKey("cardType"), cardType_);
  coder.setText(archiveKey("cardName"), cardName_);
}

void BankCardEntity::registerArchiveClass() { platform::registerArchivable<BankCardEntity>(kArchiveClass); }

}  // namespace nvx
