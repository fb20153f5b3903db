// The bank of a card number (the card-number bank lookup).
#pragma once
#include <string>

#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class BankCardEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "BankCardEntity";

  BankCardEntity() = default;
  // Each field from its key (texts only); anything but an object leaves all empty.
  static BankCardEntity initWithJson(const platform::Json& json);
  explicit BankCardEntity(const platform::Unarchiver& coder);

  const std::string& bankCode() const { return bankCode_; }
  void setBankCode(std::string v) { bankCode_ = std::move(v); }
  const std::string& bankName() const { return bankName_; }
  void setBankName(std::string v) { bankName_ = std::move(v); }
  const std::string& cardType() const { return cardType_; }
  void setCardType(std::string v) { cardType_ = std::move(v); }
  const std::string& cardName() const { return cardName_; }
  void setCardName(std::string v) { cardName_ = std::move(v); }

  bool isDebitCard() const { return cardType_ == "0001"; }
  bool isCreditCard() const { return cardType_ == "0002"; }
  bool isPrepaidCard() const { return cardType_ == "0000"; }

  std::string description() const;

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

 private:
  std::string bankCode_;
  std::string bankName_;
  std::string cardType_;
  std::string cardName_;
};

}  // namespace nvx
