// The media output volume while the "0008" reader works: raised to its maximum for the reader
// (the reader is powered by the tone it hears), and put back to the level found when its driver
// is deleted. The level found first is kept for the whole process until it is restored.
#pragma once

namespace nvx::reader::f0008 {

class CTPhoneController {
 public:
  // Nothing when a level is already kept; otherwise keeps the media volume found and raises it
  // to 1.0 when it is lower.
  static void setMobileVolumeMax();
  // Nothing when no level is kept; otherwise sets the volume back to it when it differs, and
  // forgets it.
  static void restorationMobileVolume();
};

}  // namespace nvx::reader::f0008
