// The "0008" reader's reply frames: 8F, a 16-bit length (high byte first) counting the code byte
// and the data, the reply code, the data, and a check byte that makes the XOR of the whole frame
// 0. Bytes after the frame are ignored. The card reply's data is read field by field, each read
// bounded by the data's length: a payload that ends inside a field is refused as a whole.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace nvx::reader::f0008 {

// The reply kinds, named by the exchange step each one answers.
enum ReplyKind : int32_t {
  kReplyKsn = 0,        // 0x21
  kReplyArmed = 1,      // exactly 8F 00 02 22 00 AF
  kReplyCard = 2,       // 0x23
  kReply24 = 3,         // 0x24, nobody waits for it
  kReply25 = 4,         // 0x25, nobody waits for it
  kReply20 = 5,         // exactly 8F 00 01 20 AE, nobody waits for it
  kReplyUnknown = 6,    // anything else; also "no exchange" as the expected kind
};

// Parse results, as the driver reads them.
enum ParseResult : int32_t {
  kParseCardRefused = 0,   // a card reply whose status byte is not 0
  kParseBadCheck = 1,      // the frame's XOR is not 0 (no exchange running)
  kParseTooShort = 2,      // fewer bytes than the length field says (no exchange running)
  kParseUnexpected = 3,    // not the reply the running step waits for, or a card payload cut short
  kParseExpected = 4,      // the reply the running step waits for
};

struct CTCardDetails {
  std::string FormatID;        // lower-case hexadecimal; empty when there is none
  std::string Ksn;             // upper-case hexadecimal; "FFFFFFFFFFFFFFFF" when there is none
  int32_t Track1Length = 0;
  int32_t Track2Length = 0;
  int32_t Track3Length = 0;
  std::string MaskedPAN;       // the first 6 and last 4 characters kept when longer than 10
  std::string EncTracks;       // upper-case hexadecimal
  std::string RandomNumber;    // upper-case hexadecimal, 16 characters
  std::string ExpiryDate;      // 4 characters as they came
  std::string CardHolderName;  // UTF-8 as it came
};

struct CTParsed {
  int32_t result = kParseUnexpected;
  int32_t kind = kReplyUnknown;             // the kind found
  std::optional<std::string> ksn;           // a KSN reply's serial number
  std::optional<CTCardDetails> card;        // a card reply whose fields were all taken
};

class CTReply {
 public:
  static constexpr uint8_t kStart = 0x8F;
  static constexpr const char* kNoKsn = "FFFFFFFFFFFFFFFF";

  enum class CardRead { Taken, Refused, Malformed };

  // Parses the decoded bytes against the kind the running step expects (kReplyUnknown when no
  // exchange runs). The result is the kind's own when the kind found is the one expected, else
  // kParseUnexpected.
  static CTParsed ParseCommand(std::span<const uint8_t> bytes, int32_t expectedKind);
  // Reads a card reply's data. Taken: status 0 and every field within the data.
  static CardRead GetCardDetails(std::span<const uint8_t> payload, CTCardDetails& out);
  // A PAN of more than 10 characters keeps its first 6 and last 4, the rest become "*". True
  // when it masked; a shorter PAN is copied as it is.
  static bool Maskcard(std::span<const uint8_t> pan, std::string& masked);
  // Lower-case hexadecimal ("%02x" a byte, a blank after each with `blank`) into `out`, as far as
  // a 4096-character buffer holds (2047 bytes without blanks); the count of characters written.
  static size_t ConvertHex(std::span<const uint8_t> bytes, std::span<char> out, bool blank);
  static std::string ConvertHex(std::span<const uint8_t> bytes, bool blank = false);
  static std::string upperHex(std::span<const uint8_t> bytes);
  // The XOR of the bytes.
  static uint8_t check(std::span<const uint8_t> bytes);
};

}  // namespace nvx::reader::f0008
