#include "reader/f0008/SwipCard_Lib_x/Audio/RemoteIOPlayer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/LoopbackPeer.h"
#include "platform/media/MediaVolume.h"
#include "platform/media/MixerGraph.h"

namespace nvx::reader::f0008 {
namespace {

using platform::media::AudioSession;

TEST(RemoteIOPlayerTest, OnlyARouteNamingTheHeadsetInOutCountsAsTheReader) {
  struct Case {
    const char* route;
    bool reader;
  };
  const Case cases[] = {{"HeadsetInOut", true},
                        {"HeadphonesAndMicrophone", false},
                        {"Headphone", false},
                        {"Speaker", false},
                        {"", false}};
  for (const Case& c : cases) {
    AudioSession::sharedInstance().simulateRouteChange(c.route);
    platform::log::Capture log;
    EXPECT_EQ(RemoteIOPlayer::CheckHeadDeviceExist(), c.reader) << c.route;
    EXPECT_EQ(log.contains("设备被拔出！"), std::string(c.route).empty()) << c.route;
  }
}

TEST(RemoteIOPlayerTest, AFailedSetUpStepEndsTheSetUpWithItsMessageAndNothingStarts) {
  struct Case {
    const char* call;
    const char* message;
  };
  const Case cases[] = {
      {"initialize", "Couldn't initialize audio session"},
      {"setCategory", "Couldn't set audio session property"},
      {"inputAvailable", "Couldn't get current audio input available prop"},
      {"setActive", "Couldn't set audio session active"},
      {"MixerGraph::setRender", "AUGraphSetNodeInputCallback result 2003329396 77686174 what"},
      {"MixerGraph::initialize", "Init graph fail!"},
  };
  for (const Case& c : cases) {
    AudioSession::sharedInstance().failNext(c.call);
    RemoteIOPlayer player;
    EXPECT_EQ(player.intialiseAudio().message(), c.message);
    EXPECT_NE(player.start(), 0) << c.call;
    EXPECT_FALSE(player.isPlaying()) << c.call;
  }
}

TEST(RemoteIOPlayerTest, TheAudioSessionIsSetUpOncePerProcessWhoeverSetItUpFirst) {
  auto& session = AudioSession::sharedInstance();
  ASSERT_TRUE(session.initialize());  // another part of the client came first
  RemoteIOPlayer first;
  ASSERT_TRUE(first.intialiseAudio()) << "an audio session already set up is as good";
  session.failNext("initialize");
  RemoteIOPlayer second;
  EXPECT_TRUE(second.intialiseAudio());
  EXPECT_FALSE(session.initialize()) << "the second player did not ask again: the failure is still pending";
}

TEST(RemoteIOPlayerTest, StopOnAGraphThatIsNotRunningAnswersZeroAndChangesNothing) {
  RemoteIOPlayer player;
  EXPECT_EQ(player.stop(), 0) << "not even set up";
  ASSERT_TRUE(player.intialiseAudio());
  EXPECT_EQ(player.stop(), 0);
  EXPECT_FALSE(player.isPlaying());
  ASSERT_EQ(player.start(), 0);
  EXPECT_TRUE(player.isPlaying());
  EXPECT_EQ(player.stop(), 0);
  EXPECT_FALSE(player.isPlaying());
  EXPECT_EQ(player.stop(), 0);
  EXPECT_FALSE(player.isPlaying());
}

// Input 0 plays on the left only, input 1 on the right only; the microphone reaches the record
// receiver; the route receiver hears the reader come; starting raises the media volume.
TEST(RemoteIOPlayerTest, EachInputSoundsOnItsOwnSideAndTheMicrophoneComesBack) {
  auto peer = std::make_shared<platform::media::LoopbackPeer>(0.5f);
  auto heardRecord = std::make_shared<std::atomic<int>>(0);
  auto present = std::make_shared<std::atomic<int>>(-1);
  RemoteIOPlayer player;
  player.setDelegateForPlay({nullptr,
                             [](AudioBuffer& b) { std::fill_n(b.data, b.frames, int16_t{16384}); },
                             [](AudioBuffer& b) { std::fill_n(b.data, b.frames, int16_t{-8192}); }});
  player.setDelegateForRecord({[heardRecord](const AudioBufferList& l) {
    if (l.buffers.size() == 1 && l.buffers[0].frames > 0) heardRecord->store(l.buffers[0].data[0]);
  }});
  player.setDelegateForAudioRoute({[present](bool p) { *present = p ? 1 : 0; }});
  ASSERT_TRUE(player.intialiseAudio());
  platform::media::Jack::shared().plug(peer);
  auto& loop = platform::RunLoop::main();
  ASSERT_TRUE(loop.runUntil([&] { return *present == 1; }, platform::secs(1)));

  platform::media::MediaVolume::shared().setVolume(0.3f);
  ASSERT_EQ(player.start(), 0);
  EXPECT_EQ(platform::media::MediaVolume::shared().volume(), 1.0f);
  ASSERT_TRUE(loop.runUntil([&] { return *heardRecord != 0; }, platform::secs(1)));
  EXPECT_EQ(*heardRecord, 8192) << "the left channel (0.5) echoed at half gain";
  (void)player.stop();
  const auto left = peer->heardLeft();
  const auto right = peer->heardRight();
  ASSERT_FALSE(left.empty());
  EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](float x) { return x == 0.5f; }));
  EXPECT_TRUE(std::all_of(right.begin(), right.end(), [](float x) { return x == -0.25f; }));

  player.cleanUp();
  platform::media::Jack::shared().unplug();
  loop.runUntil([] { return false; }, platform::secs(0.5));
  EXPECT_EQ(*present, 1) << "the route receiver is forgotten by the clean-up";
}

TEST(RemoteIOPlayerTest, AMixerParameterThatCannotBeSetIsLoggedWithItsStatus) {
  RemoteIOPlayer player;
  ASSERT_TRUE(player.intialiseAudio());
  platform::log::Capture log;
  AudioSession::sharedInstance().failNext("MixerGraph::setInputEnabled");
  player.enableInput(0, 0.0f);
  EXPECT_TRUE(log.contains("BUS 0 isON 0.000000"));
  EXPECT_TRUE(log.contains("AudioUnitSetParameter kMultiChannelMixerParam_Enable result 2003329396 77686174 what"));
  player.enableInput(7, 1.0f);
  EXPECT_TRUE(log.contains("result -10877 ffffd583"));
}

}  // namespace
}  // namespace nvx::reader::f0008
