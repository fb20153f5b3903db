#include "reader/f0003/NLRawTrack.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/testing/RsaTestKey.h"
#include "platform/media/Jack.h"
#include "reader/f0003/MyRSA.h"
#include "reader/f0003/TestServiceCertificate.h"
#include "reader/f0003/NLSignalTestSupport.h"
#include "reader/f0003/NLTestHarness.h"
#include "reader/f0003/StringUtil.h"

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;
using standin::SimulatedReader0003;
using testing::TestServiceBundle;
using testing::TestServiceCertificate;

const std::string kTrack = standin::Reader0003Card::testCard().track2();

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::vector<int16_t> swipeOf(std::string_view track, bool backwards) {
  std::vector<float> x(600, 0.0f);
  SimulatedReader0003::renderStripe(track, backwards, 20, 0.15, 0.5, x);
  x.resize(x.size() + 600, 0.0f);
  return testing::toRecorded(x);
}

std::string plainOf(const TestServiceCertificate& certificate, const std::string& hex) {
  auto key = nvx::testing::RsaTestKey::fromPrivatePem(certificate.privatePem);
  if (!key) return "(no key)";
  return key->decryptHex(hex).value_or("(does not decipher)");
}

TEST(MyRSATest, EncryptsUnderTheCertificatesKeyUpToItsPlainTextLimit) {
  const auto certificate = TestServiceCertificate::make();
  auto rsa = MyRSA::fromCertificate(certificate.der);
  ASSERT_TRUE(rsa);
  EXPECT_EQ(rsa->maxPlainLength(), 128u - 12u);
  auto sealed = rsa->encryptWithData(bytesOf(kTrack));
  ASSERT_TRUE(sealed);
  EXPECT_EQ(sealed->size(), 128u);
  EXPECT_EQ(plainOf(certificate, StringUtil::bcdWithChars(*sealed, 0, sealed->size())), kTrack);
  EXPECT_TRUE(rsa->encryptWithData(Bytes(116, 'x')));
  EXPECT_FALSE(rsa->encryptWithData(Bytes(117, 'x')));

  EXPECT_FALSE(MyRSA::fromCertificate(Bytes{0x30, 0x03, 0x02, 0x01, 0x00}));
  EXPECT_FALSE(MyRSA::fromCertificate({}));
  EXPECT_FALSE(MyRSA::fromCertificate(TestServiceCertificate::make("EC").der)) << "not an RSA key";
  EXPECT_FALSE(MyRSA::init()) << "no certificate in the bundle";
  TestServiceBundle bundle(certificate);
  EXPECT_TRUE(MyRSA::init());
}

TEST(NLRawTrackTest, TheCardNumbersGroupsAndTheExpiryComeFromTheTrack) {
  struct Case {
    std::string track;
    int panlen;
    std::optional<std::string> begin;
    std::string end;
    std::string expiry;
  } cases[] = {
      {";6222021234567890123=25121010000000000?", 19, "622202", "0123", "2512"},
      {";6222021234567890123=2512?", 19, "622202", "0123", ""},  // no more than 5 after '='
      {";4367420012345=25121?", 13, "436742", "2345", "2512"},
      {";436742001234=2512101?", 0, std::nullopt, "", ""},       // 12 digits
      {";62220212345678901234=2512101?", 0, std::nullopt, "", ""},  // 20 digits
      {";6222021234567890123?", 0, std::nullopt, "", ""},         // no '='
  };
  for (const auto& c : cases) {
    CardData card = nl_card_fields_of_track(c.track);
    EXPECT_EQ(card.formatType, 31);
    EXPECT_EQ(card.panlen, c.panlen) << c.track;
    EXPECT_EQ(card.beginStr, c.begin) << c.track;
    EXPECT_EQ(card.endStr, c.end) << c.track;
    EXPECT_EQ(card.validThru, c.expiry) << c.track;
  }
}

struct Receiver : AudioHelperDelegate {
  int readerType() const override { return 2; }
  void onError(int32_t code, const std::string& message) override { errors.push_back({code, message}); }
  void onCardData(CardData card) override { cards.push_back(std::move(card)); }
  void onSwipeError() override { ++swipeErrors; }
  std::vector<std::pair<int32_t, std::string>> errors;
  std::vector<CardData> cards;
  int swipeErrors = 0;
};

TEST(NLRawTrackTest, ASwipeBecomesAnEncryptedCardOrAReportedFailure) {
  const auto certificate = TestServiceCertificate::make();
  {
    TestServiceBundle bundle(certificate);
    Receiver r;
    nl_raw_track_to_card_data(swipeOf(kTrack, true), r);
    ASSERT_EQ(r.cards.size(), 1u);
    const CardData& card = r.cards[0];
    EXPECT_EQ(card.maskedPAN(), "622202 ********* 0123");
    EXPECT_EQ(card.validThru, "2512");
    EXPECT_EQ(card.lenOfTrack2, static_cast<int>(kTrack.size()));
    EXPECT_EQ(card.randomNumber, "");
    EXPECT_EQ(plainOf(certificate, card.cryptoData), kTrack);

    Receiver silence;
    nl_raw_track_to_card_data(std::vector<int16_t>(10000, 0), silence);
    EXPECT_EQ(silence.swipeErrors, 1);
    EXPECT_TRUE(silence.cards.empty());
  }
  // Without the service's certificate the track is not sent anywhere: error 51.
  Receiver noKey;
  nl_raw_track_to_card_data(swipeOf(kTrack, false), noKey);
  EXPECT_TRUE(noKey.cards.empty());
  ASSERT_EQ(noKey.errors.size(), 1u);
  EXPECT_EQ(noKey.errors[0], (std::pair<int32_t, std::string>{51, "CryptoService"}));
}

TEST(NLRawTrackTest, TheDriversRawModeListensOnlyAndDeliversTheEncryptedTrack) {
  const auto certificate = TestServiceCertificate::make();
  TestServiceBundle bundle(certificate);
  testing::NLHarness h({.raw = true});
  h.nl()->setReaderType(2);
  h.plugReader(false);
  h.recorder()->clear();
  h.nl()->startCSwiper();
  ASSERT_TRUE(h.pumpUntil([&] { return h.recorder()->has("onWaitingForCardSwipe"); }, 1));
  h.pumpUntil([] { return false; }, 10);  // no reply is waited for
  EXPECT_EQ(h.recorder()->endEvents(), 0u);
  EXPECT_EQ(h.reader().startCommandsHeard(), 0);
  ASSERT_TRUE(h.reader().swipe(h.card(), true));
  ASSERT_TRUE(h.pumpUntil([&] { return h.recorder()->endEvents() > 0; }, 5));
  EXPECT_EQ(h.recorder()->sessionNames(),
            (std::vector<std::string>{"onWaitingForDevice", "onWaitingForCardSwipe", "onDecodeCompleted"}));
  const auto& card = h.recorder()->last("onDecodeCompleted")->card;
  EXPECT_EQ(card.maskedPAN, "622202 ********* 0123");
  EXPECT_EQ(card.track2Length, static_cast<int>(kTrack.size()));
  EXPECT_EQ(plainOf(certificate, card.encTracks), kTrack);
  EXPECT_EQ(h.nl()->cardInfo()->formatType, 31);
  EXPECT_EQ(h.nl()->getCSwiperState(), 0);
}

}  // namespace
}  // namespace nvx::reader
