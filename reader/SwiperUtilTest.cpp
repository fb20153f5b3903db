#include "reader/SwiperUtil.h"

#include <gtest/gtest.h>

#include "platform/media/AudioSession.h"

namespace nvx::reader {
namespace {

class Listener : public AudioSwiperListener {
 public:
  std::vector<std::string> events;
  void onDevicePlugged() override { events.push_back("plugged"); }
  void onDeviceUnplugged() override { events.push_back("unplugged"); }
};

class SwiperUtilTest : public ::testing::Test {
 protected:
  void route(const std::string& name) { platform::media::AudioSession::sharedInstance().simulateRouteChange(name); }
  void idle(double seconds) { platform::RunLoop::main().advance(seconds); }
  SwiperUtil& util() { return SwiperUtil::sharedInstance(); }
  std::shared_ptr<Listener> listener_ = std::make_shared<Listener>();
};

TEST_F(SwiperUtilTest, TheRouteNameAloneDecides) {
  struct Case {
    const char* route;
    bool present;
  };
  const Case cases[] = {
      {"HeadsetInOut", true}, {"Headset", true},  {"Headphone", true},     {"HeadphonesAndMicrophone", true},
      {"Speaker", false},     {"", false},        {"ReceiverAndMicrophone", false},
      {"LineOut", false},     {"headset", false}, {"AHeadset", false},
  };
  for (const Case& c : cases) {
    route(c.route);
    EXPECT_EQ(util().isAudioDeviceDetected(), c.present) << c.route;
  }
  EXPECT_TRUE(platform::media::AudioSession::sharedInstance().isActive());
}

TEST_F(SwiperUtilTest, PlugAndUnplugAreNoticedWithinAPoll) {
  util().startListen(listener_);
  route("HeadsetInOut");
  idle(0.15);
  EXPECT_EQ(listener_->events, std::vector<std::string>{"plugged"});
  EXPECT_TRUE(util().isDevicePresent());
  route("Speaker");
  idle(0.15);
  EXPECT_EQ(listener_->events, (std::vector<std::string>{"plugged", "unplugged"}));
  // A plain pair of headphones counts the same.
  route("Headphone");
  idle(0.15);
  route("Speaker");
  idle(0.15);
  EXPECT_EQ(listener_->events, (std::vector<std::string>{"plugged", "unplugged", "plugged", "unplugged"}));
}

TEST_F(SwiperUtilTest, AReaderAlreadyPluggedAtStartRaisesNothing) {
  route("HeadsetInOut");
  util().startListen(listener_);
  EXPECT_TRUE(util().isDevicePresent());
  idle(5.0);
  EXPECT_TRUE(listener_->events.empty());
  route("Headphone");  // from one headset-socket device to another: still present
  idle(1.0);
  EXPECT_TRUE(listener_->events.empty());
}

TEST_F(SwiperUtilTest, StopListenEndsTheNotices) {
  util().startListen(listener_);
  util().stopListen();
  route("HeadsetInOut");
  idle(1.0);
  EXPECT_TRUE(listener_->events.empty());
  EXPECT_FALSE(util().isDevicePresent());  // no polls any more
}

TEST_F(SwiperUtilTest, AListenerGoneMeanwhileIsNotCalledButThePollGoesOn) {
  util().startListen(listener_);
  std::weak_ptr<Listener> gone = listener_;
  listener_.reset();
  route("HeadsetInOut");
  idle(0.15);
  EXPECT_TRUE(gone.expired());
  EXPECT_TRUE(util().isDevicePresent());
}

TEST_F(SwiperUtilTest, ANewListenerReplacesTheOldOne) {
  auto second = std::make_shared<Listener>();
  util().startListen(listener_);
  util().startListen(second);
  route("HeadsetInOut");
  idle(0.15);
  EXPECT_TRUE(listener_->events.empty());
  EXPECT_EQ(second->events, std::vector<std::string>{"plugged"});
}

}  // namespace
}  // namespace nvx::reader
