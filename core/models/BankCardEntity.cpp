#include "core/models/BankCardEntity.h"

#include "core/session/UserDefaultsExt.h"

namespace nvx {

BankCardEntity BankCardEntity::initWithJson(const platform::Json& json) {
  using platform::json::textOnly;
  BankCardEntity e;
  e.bankCode_ = textOnly(json, "bankCode").value_or("");
  e.bankName_ = textOnly(json, "bankName").value_or("");
  e.cardType_ = textOnly(json, "cardType").value_or("");
  e.cardName_ = textOnly(json, "cardName").value_or("");
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
