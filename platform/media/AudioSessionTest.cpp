#include "platform/media/AudioSession.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/RunLoop.h"
#include "platform/media/MediaVolume.h"

namespace platform::media {
namespace {

TEST(AudioSessionTest, RouteChangesAreNoticedOnTheMainLoopWithReasonAndOldRoute) {
  auto& session = AudioSession::sharedInstance();
  EXPECT_EQ(session.currentRoute(), "Speaker");
  std::vector<RouteChange> changes;
  auto observation = session.observeRouteChanges([&](const RouteChange& c) {
    EXPECT_TRUE(RunLoop::main().isMainThread());
    changes.push_back(c);
  });
  std::thread simulator([&] { session.simulateRouteChange("HeadsetInOut"); });
  simulator.join();
  EXPECT_EQ(session.currentRoute(), "HeadsetInOut");
  EXPECT_TRUE(changes.empty());  // delivered by the loop
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].reason, RouteChangeReason::NewDeviceAvailable);
  EXPECT_EQ(changes[0].previousRoute, "Speaker");
  EXPECT_EQ(changes[0].route, "HeadsetInOut");

  session.simulateRouteChange("HeadsetInOut");  // no change, no notice
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(changes.size(), 1u);
}

TEST(AudioSessionTest, ReasonsFollowFromTheRoutesUnlessGiven) {
  struct Case {
    const char* route;
    RouteChangeReason reason;
  };
  const Case steps[] = {
      {"Headphone", RouteChangeReason::NewDeviceAvailable},
      {"HeadsetInOut", RouteChangeReason::CategoryChange},
      {"Speaker", RouteChangeReason::OldDeviceUnavailable},
      {"ReceiverAndMicrophone", RouteChangeReason::CategoryChange},
      {"", RouteChangeReason::NoSuitableRouteForCategory},
      {"Headset", RouteChangeReason::NewDeviceAvailable},
  };
  auto& session = AudioSession::sharedInstance();
  std::vector<RouteChange> changes;
  auto observation = session.observeRouteChanges([&](const RouteChange& c) { changes.push_back(c); });
  for (const Case& c : steps) session.simulateRouteChange(c.route);
  session.simulateRouteChange("Speaker", RouteChangeReason::CategoryChange);
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(changes.size(), std::size(steps) + 1);
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(changes[i].reason, steps[i].reason) << steps[i].route;
    EXPECT_EQ(changes[i].previousRoute, i == 0 ? "Speaker" : steps[i - 1].route);
  }
  EXPECT_EQ(changes.back().reason, RouteChangeReason::CategoryChange);
}

TEST(AudioSessionTest, TheNoticeIsAPlainNotificationToo) {
  std::vector<Notification> notes;
  auto observation = NotificationCenter::shared().observe(
      std::string(AudioSession::kRouteChangeNotification), nullptr, [&](const Notification& n) { notes.push_back(n); });
  AudioSession::sharedInstance().simulateRouteChange("Headphone");
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].sender, &AudioSession::sharedInstance());
  EXPECT_EQ(notes[0].userInfo["reason"], 1);
  EXPECT_EQ(notes[0].userInfo["previousRoute"], "Speaker");
  EXPECT_EQ(notes[0].userInfo["route"], "Headphone");
}

TEST(AudioSessionTest, ActivationIsKept) {
  auto& session = AudioSession::sharedInstance();
  EXPECT_FALSE(session.isActive());
  EXPECT_TRUE(session.setActive(true).isOk());
  EXPECT_TRUE(session.isActive());
}

TEST(AudioSessionTest, InitialisesOncePerProcess) {
  auto& session = AudioSession::sharedInstance();
  session.failNext("initialize", AudioStatus::kNoHardware);
  EXPECT_EQ(session.initialize().code(), AudioStatus::kNoHardware);
  EXPECT_FALSE(session.isInitialized());
  int first = 0, second = 0;
  EXPECT_TRUE(session.initialize([&](bool) { ++first; }));
  EXPECT_EQ(session.initialize([&](bool) { ++second; }).code(), AudioStatus::kAlreadyInitialized);
  EXPECT_EQ(AudioStatus::kAlreadyInitialized, 0x696E6974);   // 'init'
  session.simulateInterruption(true);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(first, 1);    // the first listener stays
  EXPECT_EQ(second, 0);
}

TEST(AudioSessionTest, InjectedFailuresHitOneCallAndChangeNothing) {
  auto& session = AudioSession::sharedInstance();
  struct Case {
    const char* call;
    std::function<AudioStatus()> run;
    std::function<bool()> unchanged;
  };
  const Case cases[] = {
      {"setActive", [&] { return session.setActive(true); }, [&] { return !session.isActive(); }},
      {"setCategory", [&] { return session.setCategory(AudioCategory::PlayAndRecord, true); },
       [&] { return session.category() == AudioCategory::SoloAmbient; }},
      {"setMode", [&] { return session.setMode(AudioMode::Measurement); }, [&] { return session.mode() == AudioMode::Default; }},
      {"setInputGain", [&] { return session.setInputGain(0.2f); }, [&] { return session.inputGain() == 1.0f; }},
      {"setPreferredSampleRate", [&] { return session.setPreferredSampleRate(48000); },
       [&] { return session.preferredSampleRate() == 0; }},
      {"routeName", [&] { return session.routeName().status; }, [] { return true; }},
      {"inputAvailable", [&] { return session.inputAvailable().status; }, [] { return true; }},
      {"inputChannelCount", [&] { return session.inputChannelCount().status; }, [] { return true; }},
      {"hardwareSampleRate", [&] { return session.hardwareSampleRate().status; }, [] { return true; }},
      {"preferredIOBufferDuration", [&] { return session.preferredIOBufferDuration().status; }, [] { return true; }},
      {"outputVolume", [&] { return session.outputVolume().status; }, [] { return true; }},
  };
  for (const Case& c : cases) {
    session.failNext(c.call);
    EXPECT_EQ(c.run().code(), AudioStatus::kUnspecified) << c.call;
    EXPECT_TRUE(c.unchanged()) << c.call;
    EXPECT_TRUE(c.run()) << c.call << ": only the next call fails";
  }
  EXPECT_TRUE(session.isActive());
  EXPECT_EQ(session.category(), AudioCategory::PlayAndRecord);
  EXPECT_TRUE(session.mixesWithOthers());
  EXPECT_EQ(session.mode(), AudioMode::Measurement);
}

TEST(AudioSessionTest, ACategoryChangeIsARouteChangeWithReasonThree) {
  auto& session = AudioSession::sharedInstance();
  session.simulateRouteChange("HeadsetInOut");
  RunLoop::main().runUntilIdle();
  std::vector<RouteChange> changes;
  auto observation = session.observeRouteChanges([&](const RouteChange& c) { changes.push_back(c); });
  ASSERT_TRUE(session.setCategory(AudioCategory::PlayAndRecord));
  ASSERT_TRUE(session.setCategory(AudioCategory::PlayAndRecord, true));   // same category: no notice
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].reason, RouteChangeReason::CategoryChange);
  EXPECT_EQ(changes[0].previousRoute, "HeadsetInOut");
  EXPECT_EQ(changes[0].route, "HeadsetInOut");
}

TEST(AudioSessionTest, RecordPermissionIsAnsweredOnAnotherThread) {
  auto& session = AudioSession::sharedInstance();
  struct Case {
    const char* what;
    bool offered;
    std::optional<RecordPermission> before;
    bool userGrants;
    bool answer;
    RecordPermission after;
  };
  const Case cases[] = {
      {"asked, granted", true, std::nullopt, true, true, RecordPermission::Granted},
      {"asked, refused", true, RecordPermission::Undetermined, false, false, RecordPermission::Denied},
      {"refused before: not asked again", true, RecordPermission::Denied, true, false, RecordPermission::Denied},
      {"granted before", true, RecordPermission::Granted, false, true, RecordPermission::Granted},
      {"no such request on this system", false, RecordPermission::Undetermined, false, true, RecordPermission::Undetermined},
  };
  for (const Case& c : cases) {
    session.setCanRequestRecordPermission(c.offered);
    if (c.before) session.setRecordPermission(*c.before);
    EXPECT_EQ(session.canRequestRecordPermission(), c.offered);
    session.setRecordPermissionAnswer(c.userGrants);
    std::mutex m;
    std::optional<bool> answer;
    std::thread::id answeredOn;
    session.requestRecordPermission([&](bool granted) {
      std::lock_guard<std::mutex> lock(m);
      answer = granted;
      answeredOn = std::this_thread::get_id();
    });
    RunLoop::main().runUntilIdle();
    ASSERT_TRUE(RunLoop::main().runUntil([&] {
      std::lock_guard<std::mutex> lock(m);
      return answer.has_value();
    }, secs(1))) << c.what;
    std::lock_guard<std::mutex> lock(m);
    EXPECT_EQ(*answer, c.answer) << c.what;
    EXPECT_NE(answeredOn, std::this_thread::get_id()) << c.what;
    EXPECT_EQ(session.recordPermission(), c.after) << c.what;
  }
}

TEST(AudioSessionTest, InputAvailabilityIsListenedToOnTheSessionThread) {
  auto& session = AudioSession::sharedInstance();
  ASSERT_TRUE(session.inputAvailable());
  EXPECT_TRUE(session.inputAvailable().value);   // the phone's own microphone
  EXPECT_EQ(session.inputChannelCount().value, 1);
  std::mutex m;
  std::vector<bool> heard;
  auto listening = session.addInputAvailabilityListener([&](bool available) {
    EXPECT_FALSE(RunLoop::main().isMainThread());
    std::lock_guard<std::mutex> lock(m);
    heard.push_back(available);
  });
  session.simulateInputAvailable(false);
  session.simulateInputAvailable(false);   // no change, no call
  EXPECT_FALSE(session.inputAvailable().value);
  EXPECT_EQ(session.inputChannelCount().value, 0);
  session.simulateInputAvailable(true);
  auto count = [&] {
    std::lock_guard<std::mutex> lock(m);
    return heard.size();
  };
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return count() == 2; }, secs(1)));
  std::lock_guard<std::mutex> lock(m);
  EXPECT_EQ(heard, (std::vector<bool>{false, true}));
}

TEST(AudioSessionTest, GainRatesAndBufferDurations) {
  auto& session = AudioSession::sharedInstance();
  EXPECT_TRUE(session.isInputGainSettable());
  ASSERT_TRUE(session.setInputGain(1.7f));
  EXPECT_EQ(session.inputGain(), 1.0f);
  ASSERT_TRUE(session.setInputGain(0.3f));
  EXPECT_EQ(session.inputGain(), 0.3f);
  session.simulateInputGainSettable(false);
  EXPECT_EQ(session.setInputGain(1.0f).code(), AudioStatus::kUnsupportedProperty);
  EXPECT_EQ(session.inputGain(), 0.3f);

  EXPECT_EQ(session.hardwareSampleRate().value, 44100);
  EXPECT_EQ(session.setPreferredSampleRate(0).code(), AudioStatus::kInvalidParameter);
  EXPECT_EQ(session.setPreferredSampleRate(200000).code(), AudioStatus::kInvalidParameter);
  ASSERT_TRUE(session.setPreferredSampleRate(48000));
  EXPECT_EQ(session.hardwareSampleRate().value, 48000);

  struct Case {
    double preferred;
    double hardware;
  };
  const Case cases[] = {{0.01, 0.01}, {0.005, 0.005}, {0.001, 0.005}, {0.0232, 0.02}, {0.015, 0.015}};
  EXPECT_EQ(session.ioBufferDuration().value, 0.01);
  for (const Case& c : cases) {
    ASSERT_TRUE(session.setPreferredIOBufferDuration(c.preferred));
    EXPECT_EQ(session.preferredIOBufferDuration().value, c.preferred);
    EXPECT_EQ(session.ioBufferDuration().value, c.hardware) << c.preferred;
  }
  EXPECT_EQ(session.setPreferredIOBufferDuration(-1).code(), AudioStatus::kInvalidParameter);

  MediaVolume::shared().setVolume(0.4f);
  EXPECT_EQ(session.outputVolume().value, 0.4f);
}

}  // namespace
}  // namespace platform::media
