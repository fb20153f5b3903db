// The card result of one swipe on a 0003-0006 reader: the fields of a framed card message, or
// of a raw stripe decoded on the phone.
#pragma once
#include <optional>
#include <string>

namespace nvx::reader {

struct CardData {
  static constexpr int kFormatFramed = 32;
  static constexpr int kFormatRaw = 31;

  std::string ksn;
  std::string randomNumber;  // 16 upper-case hexadecimal digits; empty for a raw stripe
  int formatType = kFormatFramed;
  int panlen = 0;
  std::optional<std::string> beginStr;  // the first digits of the card number
  std::string endStr;                   // its last 4 digits
  std::string validThru;                // 4 digits, year then month, as the card stores them
  int lenOfTrack1 = 0;
  int lenOfTrack2 = 0;
  int lenOfTrack3 = 0;
  std::string cryptoData;               // the encrypted tracks, upper-case hexadecimal
  std::optional<std::string> nameOfHolder;
  std::optional<std::string> pkInfo;

  // beginStr, a blank, one "*" for every digit between the groups, a blank, endStr; empty when
  // beginStr is missing or endStr is not 4 characters long.
  std::string maskedPAN() const;
};

}  // namespace nvx::reader
