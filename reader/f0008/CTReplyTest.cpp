#include "reader/f0008/CTReply.h"

#include <gtest/gtest.h>

#include <vector>

namespace nvx::reader::f0008 {
namespace {

using Bytes = std::vector<uint8_t>;

// 8F, length, code, data, check.
Bytes frame(uint8_t code, const Bytes& data) {
  const size_t length = data.size() + 1;
  Bytes out{0x8F, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length), code};
  out.insert(out.end(), data.begin(), data.end());
  out.push_back(CTReply::check(out));
  return out;
}

Bytes append(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A card payload field by field.
const Bytes kCard = [] {
  Bytes p{0x00};                                                     // status
  p = append(p, {0x02, 0x9A, 0x01});                                 // format ID
  p = append(p, {0x08, 0x88, 0x80, 0x20, 0x13, 0x06, 0x01, 0x00, 0x08});  // KSN
  p = append(p, {0x00, 0x4F, 0x00, 0x25, 0x01, 0xF0});               // track lengths
  p.push_back(16);
  for (char c : std::string("6222021234560123")) p.push_back(static_cast<uint8_t>(c));
  p = append(p, {0x03, 0xAB, 0xCD, 0xEF});                           // encrypted tracks
  p = append(p, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});   // random number
  for (char c : std::string("2512")) p.push_back(static_cast<uint8_t>(c));
  p.push_back(5);
  for (char c : std::string("LI/SI")) p.push_back(static_cast<uint8_t>(c));
  return p;
}();

TEST(CTReplyTest, TheKindFoundAndTheResultAgainstTheStepThatWaits) {
  struct Case {
    const char* name;
    Bytes bytes;
    int32_t expected;
    int32_t kind;
    int32_t result;
  };
  const Bytes ksn = frame(0x21, {0x88, 0x80, 0x20, 0x13, 0x06, 0x01, 0x00, 0x08});
  Bytes badCheck = ksn;
  badCheck.back() ^= 1;
  const Case cases[] = {
      {"the KSN while reading it", ksn, kReplyKsn, kReplyKsn, kParseExpected},
      {"the KSN while arming", ksn, kReplyArmed, kReplyKsn, kParseUnexpected},
      {"bytes after the frame are ignored", append(ksn, {0x00, 0x55}), kReplyKsn, kReplyKsn, kParseExpected},
      {"the arming reply exactly", {0x8F, 0x00, 0x02, 0x22, 0x00, 0xAF}, kReplyArmed, kReplyArmed, kParseExpected},
      {"an arming reply with other data", frame(0x22, {0x01}), kReplyArmed, kReplyUnknown, kParseUnexpected},
      {"0x20 exactly, while waiting for the card", {0x8F, 0x00, 0x01, 0x20, 0xAE}, kReplyCard, kReply20, kParseUnexpected},
      {"0x20 with data", frame(0x20, {0x00}), kReplyUnknown, kReplyUnknown, kParseExpected},
      {"0x24", frame(0x24, {}), kReplyCard, kReply24, kParseUnexpected},
      {"0x25", frame(0x25, {0x01}), kReply25, kReply25, kParseExpected},
      {"an unknown code", frame(0x30, {}), kReplyUnknown, kReplyUnknown, kParseUnexpected},
      {"a wrong check, no exchange", badCheck, kReplyUnknown, kReplyUnknown, kParseBadCheck},
      {"a wrong check, reading the KSN", badCheck, kReplyKsn, kReplyUnknown, kParseUnexpected},
      {"cut short, no exchange", Bytes(ksn.begin(), ksn.end() - 1), kReplyUnknown, kReplyUnknown, kParseTooShort},
      {"cut short, reading the KSN", Bytes(ksn.begin(), ksn.end() - 1), kReplyKsn, kReplyUnknown, kParseUnexpected},
      {"four bytes", {0x8F, 0x00, 0x00, 0x8F}, kReplyKsn, kReplyUnknown, kParseUnexpected},
      {"no start byte", {0x8E, 0x00, 0x01, 0x21, 0xAE}, kReplyUnknown, kReplyUnknown, kParseExpected},
      {"nothing", {}, kReplyCard, kReplyUnknown, kParseUnexpected},
      {"a card", frame(0x23, kCard), kReplyCard, kReplyCard, kParseExpected},
      {"a card not read", frame(0x23, {0x01}), kReplyCard, kReplyCard, kParseCardRefused},
      {"a card payload cut inside a field", frame(0x23, Bytes(kCard.begin(), kCard.end() - 3)), kReplyCard,
       kReplyCard, kParseUnexpected},
  };
  for (const Case& c : cases) {
    const CTParsed p = CTReply::ParseCommand(c.bytes, c.expected);
    EXPECT_EQ(p.kind, c.kind) << c.name;
    EXPECT_EQ(p.result, c.result) << c.name;
    EXPECT_EQ(p.card.has_value(), c.result == kParseExpected && c.kind == kReplyCard) << c.name;
  }
}

TEST(CTReplyTest, TheKsnIsUpperCaseHexAndAnEmptyOneIsAllF) {
  EXPECT_EQ(CTReply::ParseCommand(frame(0x21, {0x88, 0x80, 0x2a, 0x13, 0x06, 0x01, 0x00, 0x0b}), kReplyArmed).ksn,
            "88802A130601000B");
  const Bytes lengthOne{0x8F, 0x00, 0x01, 0x21, 0xAF};
  EXPECT_EQ(CTReply::ParseCommand(lengthOne, kReplyKsn).ksn, "FFFFFFFFFFFFFFFF");
}

TEST(CTReplyTest, TheCardPayloadGivesEveryField) {
  CTCardDetails d;
  ASSERT_EQ(CTReply::GetCardDetails(kCard, d), CTReply::CardRead::Taken);
  EXPECT_EQ(d.FormatID, "9a01");
  EXPECT_EQ(d.Ksn, "8880201306010008");
  EXPECT_EQ(d.Track1Length, 0x4F);
  EXPECT_EQ(d.Track2Length, 0x25);
  EXPECT_EQ(d.Track3Length, -16) << "the second byte, signed";
  EXPECT_EQ(d.MaskedPAN, "622202******0123");
  EXPECT_EQ(d.EncTracks, "ABCDEF");
  EXPECT_EQ(d.RandomNumber, "0102030405060708");
  EXPECT_EQ(d.ExpiryDate, "2512");
  EXPECT_EQ(d.CardHolderName, "LI/SI");

  // No format ID, no KSN, lengths 0 or negative for the PAN, the tracks and the name.
  const Bytes bare = {0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, '1', '2', '3', '4', 0xFF};
  ASSERT_EQ(CTReply::GetCardDetails(bare, d), CTReply::CardRead::Taken);
  EXPECT_EQ(d.FormatID, "");
  EXPECT_EQ(d.Ksn, "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(d.MaskedPAN, "");
  EXPECT_EQ(d.EncTracks, "");
  EXPECT_EQ(d.CardHolderName, "");
}

TEST(CTReplyTest, APayloadEndingInsideAnyFieldIsRefusedAsAWholeAndAStatusOtherThanZeroFirst) {
  for (size_t n = 0; n < kCard.size(); ++n) {
    CTCardDetails d;
    d.MaskedPAN = "untouched";
    const Bytes cut(kCard.begin(), kCard.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(CTReply::GetCardDetails(cut, d), CTReply::CardRead::Malformed) << n;
    EXPECT_EQ(d.MaskedPAN, "untouched") << n;
  }
  // A length byte that claims more than is left.
  Bytes lying = kCard;
  lying[1] = 0xF0;
  CTCardDetails d;
  EXPECT_EQ(CTReply::GetCardDetails(lying, d), CTReply::CardRead::Malformed);
  Bytes refused = kCard;
  refused[0] = 0x02;
  EXPECT_EQ(CTReply::GetCardDetails(refused, d), CTReply::CardRead::Refused);
  EXPECT_EQ(CTReply::GetCardDetails(Bytes{0x02}, d), CTReply::CardRead::Refused);
}

TEST(CTReplyTest, APanLongerThanTenKeepsItsFirstSixAndLastFour) {
  const std::pair<std::string, std::string> cases[] = {
      {"6222021234567890", "622202******7890"},
      {"6222021234567890123", "622202*********0123"},
      {"62220212345", "622202*2345"},
      {"6222021234", "6222021234"},
      {"", ""},
  };
  for (const auto& [pan, masked] : cases) {
    std::string out;
    EXPECT_EQ(CTReply::Maskcard(Bytes(pan.begin(), pan.end()), out), pan.size() > 10) << pan;
    EXPECT_EQ(out, masked) << pan;
  }
}

TEST(CTReplyTest, HexTextFitsTheBufferOfTheConversion) {
  EXPECT_EQ(CTReply::ConvertHex(Bytes{0x0A, 0xFF}), "0aff");
  EXPECT_EQ(CTReply::ConvertHex(Bytes{0x0A, 0xFF}, true), "0a ff ");
  EXPECT_EQ(CTReply::ConvertHex(Bytes(3000, 0x11)).size(), 2047u * 2);
  char small[5];
  EXPECT_EQ(CTReply::ConvertHex(Bytes{1, 2, 3}, small, false), 4u);
  EXPECT_STREQ(small, "0102");
  EXPECT_EQ(CTReply::ConvertHex(Bytes{1}, std::span<char>(), false), 0u);
}

}  // namespace
}  // namespace nvx::reader::f0008
