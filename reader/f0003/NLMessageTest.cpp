#include "reader/f0003/NLMessage.h"

#include <gtest/gtest.h>

#include <functional>

#include "reader/f0003/NLFrame.h"
#include "reader/f0003/StringUtil.h"
#include "standin/SimulatedReader0003.h"

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;
using standin::Reader0003Card;
using standin::SimulatedReader0003;

const Bytes kKsn{0x60, 0x03, 0x20, 0x15, 0x11, 0x00, 0x00, 0x27};
const Bytes kRandom{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

Bytes cardMessage(bool randomAllFF = false, const Reader0003Card& card = Reader0003Card::testCard()) {
  return SimulatedReader0003::cardMessage(card, kKsn, kRandom, randomAllFF);
}

// The frame with its data changed and its length field kept right.
Bytes reframed(Bytes message, const std::function<void(Bytes&)>& change) {
  Bytes data(message.begin() + 3, message.end() - 2);
  change(data);
  return NLFrame::build(data);
}

TEST(NLMessageTest, ACardMessageGivesTheCardsFields) {
  struct Case {
    const char* name;
    Bytes message;
    std::string maskedPAN;
  };
  Reader0003Card sixteen = Reader0003Card::testCard();
  sixteen.pan = "4367420012345678";
  const Case cases[] = {
      {"19 digits", cardMessage(), "622202 ********* 0123"},
      {"random field all FF", cardMessage(true), "622202 ********* 0123"},
      {"16 digits", cardMessage(false, sixteen), "436742 ****** 5678"},
  };
  for (const auto& c : cases) {
    auto parsed = NLMessage::cardOf(c.message);
    ASSERT_TRUE(std::holds_alternative<CardData>(parsed)) << c.name;
    const CardData& card = std::get<CardData>(parsed);
    EXPECT_EQ(card.formatType, 32);
    EXPECT_EQ(card.ksn, "6003201511000027") << c.name;
    EXPECT_EQ(card.randomNumber, "0123456789ABCDEF") << c.name;
    EXPECT_EQ(card.maskedPAN(), c.maskedPAN) << c.name;
    EXPECT_EQ(card.validThru, "2512") << c.name;
    EXPECT_EQ(card.lenOfTrack1, 0);
    EXPECT_EQ(card.lenOfTrack2, 37);
    EXPECT_EQ(card.lenOfTrack3, 104);
    EXPECT_EQ(card.cryptoData, StringUtil::bcdWithChars(Reader0003Card::testCard().encryptedTracks, 0, 24)) << c.name;
  }
}

TEST(NLMessageTest, FieldsOutsideTheFrameAndUnusableTracksAreDecodeFailures) {
  const size_t E = 21 - 3;  // the card block, as an index into the data
  struct Case {
    const char* name;
    Bytes message;
    int failure;
  } cases[] = {
      {"length field one short", [] { Bytes m = cardMessage(); m[2] -= 1; return m; }(), 2},
      {"length field one long", [] { Bytes m = cardMessage(); m[2] += 1; return m; }(), 2},
      {"H below 4", reframed(cardMessage(), [&](Bytes& d) { d[E + 1] = 3; }), 2},
      {"H of 0", reframed(cardMessage(), [&](Bytes& d) { d[E + 1] = 0; }), 2},
      {"digits past the end", reframed(cardMessage(), [&](Bytes& d) { d[E + 1] = 200; }), 2},
      {"ends inside the track lengths", reframed(cardMessage(), [&](Bytes& d) { d.resize(E + 2 + 3 + 2 + 2 + 2); }), 2},
      {"ends inside the random number", reframed(cardMessage(), [](Bytes& d) { d.resize(14); }), 2},
      {"all-FF random and nothing after it", reframed(cardMessage(true), [](Bytes& d) { d.resize(18); }), 2},
      {"track 2 length 255", reframed(cardMessage(), [&](Bytes& d) { d[E + 2 + 3 + 2 + 2 + 1] = 255; }), 0},
      {"track 3 length 255", reframed(cardMessage(), [&](Bytes& d) { d[E + 2 + 3 + 2 + 2 + 2] = 255; }), 0},
  };
  for (const auto& c : cases) {
    auto parsed = NLMessage::cardOf(c.message);
    ASSERT_TRUE(std::holds_alternative<int>(parsed)) << c.name;
    EXPECT_EQ(std::get<int>(parsed), c.failure) << c.name;
  }
  // Exactly up to the track lengths: a card without encrypted tracks.
  auto bare = NLMessage::cardOf(reframed(cardMessage(), [&](Bytes& d) { d.resize(E + 2 + 3 + 2 + 2 + 3); }));
  ASSERT_TRUE(std::holds_alternative<CardData>(bare));
  EXPECT_EQ(std::get<CardData>(bare).cryptoData, "");
}

TEST(NLMessageTest, TheKsnOfBothReplyLayoutsAndOnlyWhenItLiesInTheFrame) {
  EXPECT_EQ(NLMessage::ksnOf(SimulatedReader0003::ksnReply(kKsn)), "6003201511000027");
  EXPECT_EQ(NLMessage::ksnOf(SimulatedReader0003::ksnReplySecondLayout(kKsn)), "6003201511000027");
  // Seven bytes only known to be more than six: the KSN would lie past the check byte.
  EXPECT_FALSE(NLMessage::ksnOf(NLFrame::build(Bytes{':', 0x00})));
  EXPECT_FALSE(NLMessage::ksnOf(NLFrame::build(Bytes{':', 0x00, 1, 2, 3, 4, 5, 6, 7})));
  Bytes second(SimulatedReader0003::ksnReplySecondLayout(kKsn));
  EXPECT_FALSE(NLMessage::ksnOf(reframed(second, [](Bytes& d) { d.resize(d.size() - 1); })));
  EXPECT_FALSE(NLMessage::ksnOf(NLFrame::build(Bytes{';', 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
}

TEST(NLMessageTest, TextHelpersReadOnlyTheBytesThatAreThere) {
  const Bytes bytes{0x12, 0xAB, 0x0F};
  EXPECT_EQ(StringUtil::bcdWithChars(bytes, 0, 3), "12AB0F");
  EXPECT_EQ(StringUtil::bcdWithChars(bytes, 2, 5), "0F");
  EXPECT_EQ(StringUtil::bcdWithChars(bytes, 7, 1), "");
  // Nibbles above 9 run on past the digits.
  EXPECT_EQ(StringUtil::breakToBcd(bytes, 0, 3), "12:;0?");
}

TEST(NLMessageTest, TheMaskedNumberNeedsBothGroups) {
  CardData card;
  card.panlen = 16;
  card.endStr = "5678";
  EXPECT_EQ(card.maskedPAN(), "");
  card.beginStr = "436742";
  EXPECT_EQ(card.maskedPAN(), "436742 ****** 5678");
  card.endStr = "678";
  EXPECT_EQ(card.maskedPAN(), "");
  card.endStr = "5678";
  card.panlen = 8;  // shorter than its groups: no stars, never a negative count
  EXPECT_EQ(card.maskedPAN(), "436742  5678");
}

}  // namespace
}  // namespace nvx::reader
