// The volume keeper of the 0003-0006 readers: the reader is powered by the headset output, so
// while it works the phone's media volume is held at 0.85. The user's own volume is saved in
// the user defaults the first time and put back when the driver goes, also after the client was
// stopped in between (the saved value outlives the run).
//
// Main thread (the output starts there).
#pragma once

namespace nvx::reader {

struct PhoneController {
  static constexpr float kReaderVolume = 0.85f;
  // BOOL: a volume has been saved.
  static constexpr const char* kUserSetVolumeKey = "MSRUserSetVolumeKey";
  // float: the user's volume.
  static constexpr const char* kUserDefaultsVolumeKey = "MSRUserDefaultsVolumeKey";

  // Saves the current volume unless one is saved already, then sets 0.85 (when it is not).
  static void setMobileVolumeMax();
  // When a volume is saved: puts it back and forgets that one was saved.
  static void restorationMobileVolume();
  // Sets the saved volume.
  static void restorationMobileVolumeForever();
  // Restores the volume; the keeper has nothing else to let go.
  static void removeController();
};

}  // namespace nvx::reader
