#include "reader/wifi/WexProtocol.h"

#include <gtest/gtest.h>

namespace nvx::reader {
namespace {

Bytes reply(uint8_t sw1, uint8_t sw2, const Bytes& data) {
  auto l = static_cast<uint8_t>(data.size() + 2);
  Bytes bytes{0x55, l, sw1, sw2};
  bytes.insert(bytes.end(), data.begin(), data.end());
  uint8_t check = static_cast<uint8_t>(sw1 ^ sw2 ^ l ^ 0x5A);
  for (uint8_t b : data) check ^= b;
  bytes.push_back(0x0F);
  bytes.push_back(check);
  return bytes;
}

TEST(WexProtocolTest, CommandFramesCarryTheirLrc) {
  auto ksn = WexProtocol::commandFrame(0x03);
  EXPECT_EQ(Bytes(ksn.begin(), ksn.end()), (Bytes{0xAA, 0x02, 0x03, 0x00, 0x0F, 0xA4}));
  auto card = WexProtocol::commandFrame(0x0A);
  EXPECT_EQ(Bytes(card.begin(), card.end()), (Bytes{0xAA, 0x02, 0x0A, 0x00, 0x0F, 0xAD}));
}

TEST(WexProtocolTest, HexAndTextOfBytes) {
  const uint8_t bytes[] = {0x00, 0x0A, 0xFF, 0x5a};
  EXPECT_EQ(WexProtocol::ByteToHex(bytes, 4), "000AFF5A");
  EXPECT_EQ(WexProtocol::ByteToHex(bytes, 0), "");
  const uint8_t text[] = {'2', '5', '1', '2'};
  EXPECT_EQ(WexProtocol::ByteToASCII(text, 4), "2512");
  const uint8_t notText[] = {'2', 0xFF, '1', '2'};
  EXPECT_EQ(WexProtocol::ByteToASCII(notText, 4), "");
}

TEST(WexProtocolTest, AReplyIsCompleteAtItsLengthPlusFourAndNotBefore) {
  Bytes r = reply(0x03, 0x00, {1, 2, 3});  // 9 bytes
  for (size_t n = 0; n < r.size(); ++n) EXPECT_EQ(WexProtocol::completeReplyLength(r.data(), n), std::nullopt) << n;
  EXPECT_EQ(WexProtocol::completeReplyLength(r.data(), r.size()), 9u);
  r.push_back(0x55);  // more than one reply's worth: the reply is still the first 9 bytes
  EXPECT_EQ(WexProtocol::completeReplyLength(r.data(), r.size()), 9u);
  const uint8_t tiny[] = {0x55, 0x00, 0x00, 0x00};
  EXPECT_EQ(WexProtocol::completeReplyLength(tiny, 4), 4u);
}

TEST(WexProtocolTest, RepliesAreCheckedAndOpened) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::optional<WexReplyError> error;
    Bytes data;
  };
  Bytes good = reply(0x03, 0x00, {0x12, 0x34});
  Bytes badCheck = good;
  badCheck.back() ^= 0x01;
  Bytes badEnd = good;
  badEnd[badEnd.size() - 2] = 0x0E;
  Bytes prefixed{0x00, 0x07};
  prefixed.insert(prefixed.end(), good.begin(), good.end());
  Bytes longest = reply(0x0A, 0x00, Bytes(253, 0x5A));
  const Case cases[] = {
      {"good", good, std::nullopt, {0x12, 0x34}},
      {"no data", reply(0x02, 0x00, {}), std::nullopt, {}},
      {"junk before the start", prefixed, std::nullopt, {0x12, 0x34}},
      {"longest", longest, std::nullopt, Bytes(253, 0x5A)},
      {"no start byte", {0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00}, WexReplyError::Malformed, {}},
      {"length byte 1", {0x55, 0x01, 0x03, 0x0F, 0x03 ^ 0x01 ^ 0x5A}, WexReplyError::Malformed, {}},
      {"length byte 0", {0x55, 0x00, 0x0F, 0x5A}, WexReplyError::Malformed, {}},
      {"cut short", Bytes(good.begin(), good.end() - 1), WexReplyError::Malformed, {}},
      {"start byte last", {0x00, 0x55}, WexReplyError::Malformed, {}},
      {"empty", {}, WexReplyError::Malformed, {}},
      {"wrong check", badCheck, WexReplyError::CheckFailed, {}},
      {"wrong end byte", badEnd, WexReplyError::CheckFailed, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto result = WexProtocol::ProcessDataResult(c.bytes.data(), c.bytes.size());
    if (c.error) {
      ASSERT_TRUE(std::holds_alternative<WexReplyError>(result));
      EXPECT_EQ(std::get<WexReplyError>(result), *c.error);
    } else {
      ASSERT_TRUE(std::holds_alternative<WexReply>(result));
      EXPECT_EQ(std::get<WexReply>(result).data, c.data);
    }
  }
}

Bytes cardData(const Bytes& number, size_t trackBlock) {
  Bytes data{76, 37, 104};
  data.insert(data.end(), number.begin(), number.end());
  for (uint8_t i = 0; i < 8; ++i) data.push_back(static_cast<uint8_t>(0xF0 + i));
  for (size_t i = 0; i < trackBlock; ++i) data.push_back(static_cast<uint8_t>(i));
  for (char c : std::string("2512")) data.push_back(static_cast<uint8_t>(c));
  return data;
}

TEST(WexProtocolTest, CardDataFields) {
  Bytes data = cardData({0x62, 0x22, 0x02, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x3A}, 3);
  auto info = WexProtocol::parseCardInfoWithData(data.data(), data.size());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->track1Length, 76);
  EXPECT_EQ(info->track2Length, 37);
  EXPECT_EQ(info->track3Length, 104);
  EXPECT_EQ(info->maskedPAN, "622202*********0123");
  EXPECT_EQ(info->randomNumber, "F0F1F2F3F4F5F6F7");
  EXPECT_EQ(info->encTracks, "000102");
  EXPECT_EQ(info->expiryDate, "2512");

  Bytes noTracks = cardData({0x62, 0x22, 0x02, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x3A}, 0);
  info = WexProtocol::parseCardInfoWithData(noTracks.data(), noTracks.size());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->encTracks, "");
  EXPECT_EQ(info->expiryDate, "2512");
}

TEST(WexProtocolTest, CardDataTooShortForItsFieldsIsRefused) {
  Bytes data = cardData({0x62, 0x22, 0x02, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x3A}, 0);
  for (size_t n = 0; n < data.size(); ++n) {
    // Copied into a buffer of exactly n bytes, so that a read past it is caught under ASan.
    std::vector<uint8_t> shorter(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(WexProtocol::parseCardInfoWithData(shorter.data(), shorter.size())) << n;
  }
}

TEST(WexProtocolTest, CardNumbersAreCutAtThePaddingAndMasked) {
  struct Case {
    Bytes field;
    const char* masked;
  };
  const Case cases[] = {
      {{0x62, 0x22, 0x02, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x3A}, "622202*********0123"},
      {{0x62, 0x22, 0x02, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}, "622202**********1234"},
      {{0x41, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0xAA, 0xAA}, "411111******1111"},
      {{0x12, 0x34, 0x56, 0x78, 0x90, 0x1A, 0xAA, 0xAA, 0xAA, 0xAA}, "123456*8901"},  // 11 digits: one hidden
      {{0x12, 0x34, 0x56, 0x78, 0x90, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, "1234567890"},
      {{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WexProtocol::maskCardNumber(c.field.data(), c.field.size()), c.masked);
  }
}

}  // namespace
}  // namespace nvx::reader
