#include "reader/f0003/PhoneController.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/media/MediaVolume.h"

namespace nvx::reader {

void PhoneController::setMobileVolumeMax() {
  auto& defaults = platform::UserDefaults::standard();
  auto& volume = platform::media::MediaVolume::shared();
  if (!defaults.boolean(kUserSetVolumeKey)) {
    defaults.set(kUserDefaultsVolumeKey, static_cast<double>(volume.volume()));
    defaults.set(kUserSetVolumeKey, true);
  }
  if (volume.volume() != kReaderVolume) volume.setVolume(kReaderVolume);
}

void PhoneController::restorationMobileVolume() {
  auto& defaults = platform::UserDefaults::standard();
  if (!defaults.boolean(kUserSetVolumeKey)) return;
  restorationMobileVolumeForever();
  defaults.set(kUserSetVolumeKey, false);
}

void PhoneController::restorationMobileVolumeForever() {
  const double saved = platform::UserDefaults::standard().real(kUserDefaultsVolumeKey);
  platform::media::MediaVolume::shared().setVolume(static_cast<float>(saved));
}

void PhoneController::removeController() { restorationMobileVolume(); }

}  // namespace nvx::reader
