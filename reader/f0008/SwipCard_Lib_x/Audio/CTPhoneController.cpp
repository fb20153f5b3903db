#include "reader/f0008/SwipCard_Lib_x/Audio/CTPhoneController.h"

#include <mutex>

#include "platform/foundation/Process.h"
#include "platform/media/MediaVolume.h"

namespace nvx::reader::f0008 {

// The volume found by the first raise, kept until it is restored.
struct CTPhoneControllerState {
  std::mutex mutex;
  bool kept = false;
  float volume = 1.0f;
};

void CTPhoneController::setMobileVolumeMax() {
  auto& state = platform::Process::current().shared<CTPhoneControllerState>();
  auto& media = platform::media::MediaVolume::shared();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.kept) return;
  state.kept = true;
  state.volume = media.volume();
  if (state.volume < 1.0f) media.setVolume(1.0f);
}

void CTPhoneController::restorationMobileVolume() {
  auto& state = platform::Process::current().shared<CTPhoneControllerState>();
  auto& media = platform::media::MediaVolume::shared();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.kept) return;
  if (media.volume() != state.volume) media.setVolume(state.volume);
  state.kept = false;
}

}  // namespace nvx::reader::f0008
