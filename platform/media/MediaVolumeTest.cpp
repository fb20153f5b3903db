#include "platform/media/MediaVolume.h"

#include <gtest/gtest.h>

#include "platform/media/AudioSession.h"

namespace platform::media {
namespace {

TEST(MediaVolumeTest, TheVolumeIsClippedKeptAndObservable) {
  auto& volume = MediaVolume::shared();
  EXPECT_EQ(volume.volume(), 1.0f);
  std::vector<float> seen;
  auto observing = volume.observe([&](float v) { seen.push_back(v); });
  volume.setVolume(0.85f);
  volume.setVolume(1.5f);
  volume.setVolume(-0.5f);
  EXPECT_EQ(volume.volume(), 0.0f);
  EXPECT_EQ(seen, (std::vector<float>{0.85f, 1.0f, 0.0f}));
  EXPECT_EQ(volume.history(), seen);
  auto out = AudioSession::sharedInstance().outputVolume();   // the hardware output volume is this one
  ASSERT_TRUE(out);
  EXPECT_EQ(out.value, 0.0f);
}

}  // namespace
}  // namespace platform::media
