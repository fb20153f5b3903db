#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperPowerGenerator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/device/Device.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/LoopbackPeer.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperCommandGenerator.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_UIDeviceHardware.h"

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;

struct Heard {
  size_t soundingFrames = 0;   // frames up to the last one that is not silent
  size_t crossings = 0;        // sign changes of the left channel within them
  float peak = 0;
  bool channelsEqual = true;
};

Heard analyse(const std::vector<float>& left, const std::vector<float>& right) {
  Heard h;
  for (size_t i = 0; i < left.size(); ++i) {
    if (left[i] != 0) h.soundingFrames = i + 1;
    h.peak = std::max(h.peak, std::fabs(left[i]));
    if (left[i] != right[i]) h.channelsEqual = false;
    if (i > 0 && (left[i] > 0) != (left[i - 1] > 0) && left[i] != 0 && left[i - 1] != 0) ++h.crossings;
  }
  return h;
}

class CSwiperPowerGeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::media::Jack::shared().plug(peer); }

  // Plays the command's tone for `seconds` and returns what the socket heard.
  Heard play(const Bytes& command, double seconds) {
    auto commander = std::make_shared<CSwiperCommandGenerator>();
    commander->GenerateTone(command);
    auto player = CSwiperPowerGenerator::create();
    player->setCommander(commander);
    EXPECT_FALSE(player->StartTone(false));
    EXPECT_TRUE(player->isRunning());
    platform::RunLoop::main().advance(seconds);
    player->StopTone();
    EXPECT_FALSE(player->isRunning());
    return analyse(peer->heardLeft(), peer->heardRight());
  }

  std::shared_ptr<platform::media::LoopbackPeer> peer = std::make_shared<platform::media::LoopbackPeer>();
};

TEST_F(CSwiperPowerGeneratorTest, TheCommandsPlayTheirToneForItsTimeAndThenSilence) {
  struct Case {
    Bytes command;
    size_t frames;
    double hz;
  };
  const Case cases[] = {
      {{0x06, 0x04, 0x11, 0x00, 0x00, 0x00}, 8820, 5000},
      {{0x02, 0x01, 0x00}, 4410, 2000},
  };
  for (const Case& c : cases) {
    peer = std::make_shared<platform::media::LoopbackPeer>();
    platform::media::Jack::shared().plug(peer);
    Heard h = play(c.command, 1.0);
    EXPECT_EQ(h.soundingFrames, c.frames) << c.hz;
    EXPECT_NEAR(static_cast<double>(h.crossings) / 2 / (static_cast<double>(c.frames) / 44100), c.hz, c.hz * 0.01);
    EXPECT_TRUE(h.channelsEqual);
    // Full scale: the samples reached the socket in the right byte order.
    EXPECT_NEAR(h.peak, 32767.0 / 32768.0, 1e-6) << c.hz;
    EXPECT_GE(peer->heardLeft().size(), 44100u) << "the player goes on with silence";
  }
}

TEST_F(CSwiperPowerGeneratorTest, OtherCommandsPlayTheirFrameAndCommand16AnEndlessTone) {
  Heard frame = play({0x07, 0x01, 0x00}, 0.5);
  EXPECT_EQ(frame.soundingFrames, static_cast<size_t>(15 * 8 * 441 / 20));
  EXPECT_FALSE(frame.channelsEqual);

  peer = std::make_shared<platform::media::LoopbackPeer>();
  platform::media::Jack::shared().plug(peer);
  Heard endless = play({0x10}, 1.0);
  EXPECT_GE(endless.soundingFrames, 44100u - 441);
  EXPECT_NEAR(static_cast<double>(endless.crossings) / 2 / (static_cast<double>(endless.soundingFrames) / 44100), 1000, 20);
}

TEST_F(CSwiperPowerGeneratorTest, OnTheLoudDeviceTheQueueVolumeIs035) {
  platform::Device::info().machine = "iPhone3,3";
  Heard h = play({0x02, 0x01, 0x00}, 0.3);
  EXPECT_NEAR(h.peak, 0.35 * 32767.0 / 32768.0, 1e-4);
  EXPECT_EQ(CSwiper_UIDeviceHardware::platformString(), "iPhone 4 CDMA");
  EXPECT_EQ(CSwiper_UIDeviceHardware::platformString("iPhone4,1"), "iPhone4,1");
}

TEST_F(CSwiperPowerGeneratorTest, AQueueThatCannotBeMadeIsAnErrorWithTheStatus) {
  auto& session = platform::media::AudioSession::sharedInstance();
  session.failNext("OutputQueue::create", platform::media::AudioStatus::kFormatNotSupported);
  auto player = CSwiperPowerGenerator::create();
  auto failure = player->StartTone(false);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->text(), "Error: AudioQueueNew failed ('fmt?')");
  EXPECT_FALSE(player->isRunning());

  session.failNext("OutputQueue::start", -50);
  failure = player->StartTone(false);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->text(), "Error: AudioQueueStart failed (-50)");
}

TEST(CSwiperAudioError, ShowsTheStatusAsCharactersOrANumber) {
  struct Case {
    int32_t status;
    const char* shown;
  };
  const Case cases[] = {
      {platform::media::fourCharCode("!act"), "'!act'"}, {-66686, "-66686"},   {199999, "199999"},
      {200000, "0x30d40"},                               {-200000, "0xfffcf2c0"}, {0, "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(CSwiperAudioError::statusText(c.status), c.shown) << c.status;
}

}  // namespace
}  // namespace nvx::reader
