#include "reader/f0008/SwipCard_Lib_x/Audio/CTPhoneController.h"

#include <gtest/gtest.h>

#include "platform/media/MediaVolume.h"

namespace nvx::reader::f0008 {
namespace {

TEST(CTPhoneControllerTest, TheVolumeFoundFirstIsRestoredOnceAndOnlyWhenItDiffers) {
  auto& media = platform::media::MediaVolume::shared();
  media.setVolume(0.4f);
  CTPhoneController::setMobileVolumeMax();
  EXPECT_EQ(media.volume(), 1.0f);
  media.setVolume(0.7f);   // someone else changes it meanwhile
  CTPhoneController::setMobileVolumeMax();   // kept already: nothing
  EXPECT_EQ(media.volume(), 0.7f);
  CTPhoneController::restorationMobileVolume();
  EXPECT_EQ(media.volume(), 0.4f);
  media.setVolume(0.9f);
  CTPhoneController::restorationMobileVolume();   // nothing kept any more
  EXPECT_EQ(media.volume(), 0.9f);

  // At full volume nothing is set, and an unchanged volume is not set again.
  media.setVolume(1.0f);
  const size_t sets = media.history().size();
  CTPhoneController::setMobileVolumeMax();
  CTPhoneController::restorationMobileVolume();
  EXPECT_EQ(media.history().size(), sets);
}

}  // namespace
}  // namespace nvx::reader::f0008
