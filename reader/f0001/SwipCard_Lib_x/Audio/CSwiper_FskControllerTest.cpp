#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_FskController.h"

#include <gtest/gtest.h>

#include <string>

#include "reader/f0001/CSwiperLineTestSupport.h"
#include "standin/SimulatedReader0001.h"

namespace nvx::reader {
namespace {

using standin::Reader0001Card;
using standin::SimulatedReader0001;
using testing::CSwiperLine;
using Bytes = std::vector<uint8_t>;

const Bytes kKsn{0x20, 0x14, 0x06, 0x01, 0x00, 0x00, 0x12, 0x34};

struct Decoded {
  int result = 0;
  Bytes bytes;  // the first 200 bytes of the output
};

Decoded decode(const CSwiperLine& line) {
  std::vector<uint8_t> out(CSwiper_FskController::kOutputBytes, 0);
  auto samples = line.samples();
  Decoded d;
  d.result = CSwiper_FskController::decode(samples, out.data());
  d.bytes.assign(out.begin(), out.begin() + 200);
  return d;
}

Bytes head(const Decoded& d, size_t n) { return Bytes(d.bytes.begin(), d.bytes.begin() + static_cast<std::ptrdiff_t>(n)); }

// A reply as it reaches the decoder: the last quiet buffer before it, then the reply and quiet.
CSwiperLine reply(const Bytes& bytes, double preamble = 0.05) {
  CSwiperLine line;
  line.quiet(0.08).say(bytes, preamble).quiet(0.05);
  return line;
}

TEST(CSwiperCrc8, GivesThePublishedCheckValues) {
  const std::string digits = "123456789", abc = "abc";
  EXPECT_EQ(CSwiper_FskController::crc8({reinterpret_cast<const uint8_t*>(digits.data()), digits.size()}), 0xF4);
  EXPECT_EQ(CSwiper_FskController::crc8({reinterpret_cast<const uint8_t*>(abc.data()), abc.size()}), 0x5F);
  EXPECT_EQ(CSwiper_FskController::crc8({}), 0x00);
}

TEST(CSwiperDecode, AKsnReplyGivesElevenBytesAndAnInvertedOneTheSame) {
  const Bytes packet = SimulatedReader0001::ksnReply(kKsn);
  for (bool invert : {false, true}) {
    CSwiperLine line;
    line.quiet(0.08).say(packet, 0.05, 0.5, 0, invert).quiet(0.05);
    Decoded d = decode(line);
    EXPECT_EQ(d.result, 11) << invert;
    EXPECT_EQ(head(d, 11), packet) << invert;

    CSwiper_FskController fsk;
    fsk.setResult(d.bytes, d.result);
    EXPECT_EQ(fsk.GetFormatID(), "2");
    EXPECT_EQ(fsk.GetKSN(), "2014060100001234");
  }
}

TEST(CSwiperDecode, ChecksTypeLengthAndCrc) {
  Reader0001Card card = Reader0001Card::testCard();
  card.format = 0x38;
  const Bytes packet38 = SimulatedReader0001::cardPacket(card);
  ASSERT_EQ(packet38.size(), 168u);
  auto withTrailing = [&](size_t n) {
    Bytes b = packet38;
    for (size_t i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(0xA5 ^ (i * 37)));
    return b;
  };
  Bytes flipped = packet38;
  flipped[60] ^= 0x10;
  Bytes ack = SimulatedReader0001::acknowledge();
  Bytes ackTrailing = ack;
  ackTrailing.insert(ackTrailing.end(), {1, 2, 3, 4, 5});
  Bytes ackTooLong = ackTrailing;
  ackTooLong.push_back(6);

  struct Case {
    const char* name;
    Bytes bytes;
    int result;
    uint8_t first;
  };
  const Case cases[] = {
      {"0x38, no trailing bytes", packet38, 168, 0x38},
      {"0x38 with 5 trailing bytes", withTrailing(5), 173, 0x38},
      {"0x38 with 6 trailing bytes", withTrailing(6), 1, 0xFC},
      {"0x38 with a flipped bit", flipped, 1, 0xFE},
      {"0x38 cut short of its length", Bytes(packet38.begin(), packet38.begin() + 100), 1, 0xFD},
      {"an acknowledgement", ack, 4, 0x06},
      {"an acknowledgement with 5 trailing bytes", ackTrailing, 4, 0x06},
      {"an acknowledgement with 6 trailing bytes", ackTooLong, 1, 0xFC},
      {"the reader's time-out", {0xF0}, 1, 0xF0},
      {"the reader's error", {0xFF}, 1, 0xFF},
      {"report FA", {0xFA}, 1, 0xFA},
      {"report FE", {0xFE}, 1, 0xFD},
      {"an unknown type", {0x55, 0x01, 0x02}, 1, 0xFD},
  };
  for (const Case& c : cases) {
    Decoded d = decode(reply(c.bytes, c.bytes.size() > 100 ? 0.3 : 0.05));
    EXPECT_EQ(d.result, c.result) << c.name;
    EXPECT_EQ(d.bytes[0], c.first) << c.name;
  }
}

TEST(CSwiperDecode, ReadsEveryCardFormatThroughTheImpairmentsOfALine) {
  struct Case {
    const char* name;
    uint8_t format;
    double amplitude;
    double clockError;
    bool invert;
    double noise;
    float dc;
    double hum;
  };
  const Case cases[] = {
      {"0x39 clean", 0x39, 0.5, 0, false, 0, 0, 0},
      {"0x40 clock 2 % fast, inverted", 0x40, 0.5, 0.02, true, 0, 0, 0},
      {"0x34 clock 2 % slow", 0x34, 0.5, -0.02, false, 0, 0, 0},
      {"0x31 at 20 dB", 0x31, 0.5, 0, false, 0.05, 0, 0},
      {"0x08 quiet with DC and hum", 0x08, 0.1, 0.01, false, 0.002, 0.02f, 0.01},
      {"0x36 at 10 dB", 0x36, 0.5, -0.01, true, 0.158, 0, 0},
  };
  for (const Case& c : cases) {
    Reader0001Card card = Reader0001Card::testCard();
    card.format = c.format;
    const Bytes packet = SimulatedReader0001::cardPacket(card);
    CSwiperLine line;
    line.quiet(0.08).say(packet, 0.3, c.amplitude, c.clockError, c.invert).quiet(0.1);
    if (c.noise > 0) line.noise(c.noise, 7);
    if (c.dc != 0) line.offset(c.dc);
    if (c.hum > 0) line.hum(c.hum, 50);
    Decoded d = decode(line);
    // Noise after the reply may add a byte, which the length allows.
    EXPECT_GE(d.result, static_cast<int>(packet.size())) << c.name;
    EXPECT_LE(d.result, static_cast<int>(packet.size()) + 5) << c.name;
    EXPECT_EQ(head(d, packet.size()), packet) << c.name;
  }
}

TEST(CSwiperDecode, NoiseAloneIsNoPacket) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    CSwiperLine line;
    line.quiet(1.3).noise(0.001 * seed * seed, seed);
    Decoded d = decode(line);
    EXPECT_EQ(d.result, 1) << seed;
  }
  // Nothing at all, and too little to look at.
  EXPECT_EQ(decode(CSwiperLine()).result, 1);
  EXPECT_EQ(decode(CSwiperLine().quiet(0.001)).result, 1);
}

// A short swell of 2 kHz in the noise before the reply (a click, or the noise itself in its
// narrow band) stands far above the noise measured at the start for a moment only: the start
// is where the power stays up, at the preamble, not at the swell.
TEST(CSwiperDecode, AShortSwellBeforeTheReplyIsNotItsStart) {
  const Bytes packet = SimulatedReader0001::ksnReply(kKsn);
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    CSwiperLine line;
    line.quiet(0.03).tone(2000, 9700, 0.001).quiet(0.05).say(packet, 0.05).quiet(0.05).noise(0.12, seed);
    Decoded d = decode(line);
    EXPECT_EQ(d.result, 11) << seed;
    EXPECT_EQ(head(d, 11), packet) << seed;
  }
}

TEST(CSwiperDecode, TakesTheLastSamplesOfALongRecording) {
  // 1.7 s: the reply lies in the last 1.4 s, behind a loud tone the window leaves out.
  CSwiperLine line;
  line.tone(2000, 9000, 0.2).quiet(0.5).say(SimulatedReader0001::ksnReply(kKsn)).quiet(0.9);
  ASSERT_GT(line.size(), CSwiper_FskController::kMaxInput);
  Decoded d = decode(line);
  EXPECT_EQ(d.result, 11);
  EXPECT_EQ(head(d, 11), SimulatedReader0001::ksnReply(kKsn));
}

// --- the packet's fields ------------------------------------------------------------------------

std::unique_ptr<CSwiper_FskController> decoded(const Bytes& packet) {
  auto fsk = std::make_unique<CSwiper_FskController>();
  fsk->setResult(packet, static_cast<int>(packet.size()));
  return fsk;
}

TEST(CSwiperPacketFields, FollowEachFormatsLayout) {
  Reader0001Card card = Reader0001Card::testCard();
  card.pan = "6222021234567890123";
  card.name = std::string("LI^SI\x01\x1F\x80\xFF", 9);
  card.ksn = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
  card.track1Length = 11;
  card.track2Length = 37;
  card.track3Length = 104;
  const std::string ksn10 = "A0A1A2A3A4A5A6A7A8A9";
  const std::string masked = "622202XXXXXXXXX0123";

  struct Case {
    uint8_t format;
    std::string formatID, ksn, random, pan, name;
    int t1, t2, t3;
    size_t tracks;  // bytes
  };
  const std::string name = "LI^SI" + std::string(21, ' ');
  const Case cases[] = {
      {0x08, "38", ksn10, "", masked, name, 11, 37, 0, 120},
      {0x06, "36", ksn10, "", masked, name, 11, 37, 0, 120},
      {0x38, "38", ksn10, "", masked, name, 11, 37, 0, 120},
      {0x36, "36", ksn10, "", masked, name, 11, 37, 0, 120},
      {0x31, "31", ksn10, "", masked, name, 11, 37, 0, 128},
      {0x34, "34", ksn10, "", masked, "", 0, 37, 104, 152},
      {0x39, "39", ksn10 + "AAABACADAEAF", "5A0123456789ABCD", masked, "", 0, 37, 104, 152},
      {0x40, "40", ksn10, "", "6222021234567890123", "", 0, 37, 104, 152},
  };
  for (const Case& c : cases) {
    card.format = c.format;
    const Bytes packet = SimulatedReader0001::cardPacket(card);
    auto fsk = decoded(packet);
    EXPECT_EQ(fsk->GetFormatID(), c.formatID) << int(c.format);
    EXPECT_EQ(fsk->GetKSN(), c.ksn) << int(c.format);
    EXPECT_EQ(fsk->GetRandomNumber(), c.random) << int(c.format);
    EXPECT_EQ(fsk->GetLast4DigitPan(), c.pan) << int(c.format);
    EXPECT_EQ(fsk->GetExpiryDate(), "2512") << int(c.format);
    EXPECT_EQ(fsk->GetName(), c.name) << int(c.format);
    EXPECT_EQ(fsk->GetTrack1Length(), c.t1) << int(c.format);
    EXPECT_EQ(fsk->GetTrack2Length(), c.t2) << int(c.format);
    EXPECT_EQ(fsk->GetTrack3Length(), c.t3) << int(c.format);
    const std::string tracks = fsk->GetEncTrack1();
    ASSERT_EQ(tracks.size(), 2 * c.tracks) << int(c.format);
    EXPECT_EQ(tracks.substr(0, 6), "3C2106") << int(c.format);
  }
}

TEST(CSwiperPacketFields, MaskTheCardNumberByItsLength) {
  struct Case {
    uint8_t format;
    std::string pan;
    std::string shown;
  };
  const Case cases[] = {
      {0x38, "6222021234560123", "622202XXXXXX0123"},
      {0x38, "622202123", "622202XX0123"},  // shorter than 12: still 12 characters
      {0x40, "6222021234560123", "6222021234560123"},
      {0x40, "62220212345678901234", "62220212345678901234"},
  };
  for (const Case& c : cases) {
    Reader0001Card card = Reader0001Card::testCard();
    card.format = c.format;
    card.pan = c.pan;
    if (c.pan.size() < 10) card.pan = "6222020123";  // the packet's digits: first six, last four
    Bytes packet = SimulatedReader0001::cardPacket(card);
    packet[1] = static_cast<uint8_t>(c.pan.size());
    EXPECT_EQ(decoded(packet)->GetLast4DigitPan(), c.shown) << c.pan;
  }
  // A length byte above 20 gives the 20 digits the packet has.
  Reader0001Card card = Reader0001Card::testCard();
  card.format = 0x40;
  Bytes packet = SimulatedReader0001::cardPacket(card);
  packet[1] = 0xFF;
  EXPECT_EQ(decoded(packet)->GetLast4DigitPan().size(), 20u);
}

TEST(CSwiperPacketFields, AKsnReplyLongerThanTheKsnTextGivesItsFirstSixteenBytes) {
  Bytes ksn(20);
  for (size_t i = 0; i < ksn.size(); ++i) ksn[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(decoded(SimulatedReader0001::ksnReply(ksn))->GetKSN(), "000102030405060708090A0B0C0D0E0F");
  EXPECT_EQ(decoded(SimulatedReader0001::ksnReply({}))->GetKSN(), "");
}

}  // namespace
}  // namespace nvx::reader
