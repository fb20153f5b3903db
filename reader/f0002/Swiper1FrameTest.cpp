#include "reader/f0002/Swiper1Frame.h"

#include <gtest/gtest.h>

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Swiper1FrameTest, WrapsAPayloadWithItsLengthAndCheck) {
  Bytes payload{0xE1, 0x06, 0x02};
  EXPECT_EQ(Swiper1Frame::wrap(payload), (Bytes{0x00, 0x00, 0x03, 0xE1, 0x06, 0x02, 0x00 ^ 0x03 ^ 0xE1 ^ 0x06 ^ 0x02}));

  Bytes longest(Swiper1Frame::kMaxPayload, 0xA5);
  Bytes frame = Swiper1Frame::wrap(longest);
  ASSERT_EQ(frame.size(), 500u);
  EXPECT_EQ(frame[1], 0x01);  // 496 = 0x01F0, big-endian
  EXPECT_EQ(frame[2], 0xF0);
  EXPECT_EQ(Swiper1Frame::check(frame), 0) << "a frame XORs to zero with its check byte";

  EXPECT_TRUE(Swiper1Frame::wrap(Bytes{}).empty());
  EXPECT_TRUE(Swiper1Frame::wrap(Bytes(Swiper1Frame::kMaxPayload + 1, 0)).empty());
}

TEST(Swiper1FrameTest, AcceptsOnlyAFrameWhoseLengthAndCheckAgree) {
  const Bytes good = Swiper1Frame::wrap(Bytes{0xCB, 0xC3, 0x01, 0x90, 0x00});
  auto payload = Swiper1Frame::payload(good);
  ASSERT_TRUE(payload);
  EXPECT_EQ(Bytes(payload->begin(), payload->end()), (Bytes{0xCB, 0xC3, 0x01, 0x90, 0x00}));

  struct Case {
    const char* name;
    Bytes frame;
  };
  Bytes otherStart = good;  // its check byte agrees, but a frame starts with 00
  otherStart[0] = 0x7F;
  otherStart.back() ^= 0x7F;
  Bytes badCheck = good;
  badCheck.back() ^= 0x01;
  Bytes longer = good;
  longer.insert(longer.end() - 1, 0x00);  // one byte more than the length field says
  Bytes shorter = good;
  shorter.erase(shorter.end() - 2);
  shorter.back() = Swiper1Frame::check(std::span<const uint8_t>(shorter).first(shorter.size() - 1));
  const Case cases[] = {
      {"another start byte", otherStart},
      {"no payload", Bytes{0x00, 0x00, 0x00, 0x00}},  // else read as nothing heard in time
      {"wrong check byte", badCheck},
      {"a byte more than its length", longer},
      {"a byte less than its length", shorter},
      {"too short for a frame", Bytes{0x00, 0x00, 0x00}},
      {"empty", Bytes{}},
      {"length field beyond the bytes", Bytes{0x00, 0xFF, 0xFF, 0x00}},
  };
  for (const auto& c : cases) EXPECT_FALSE(Swiper1Frame::payload(c.frame)) << c.name;
}

}  // namespace
}  // namespace nvx::reader
