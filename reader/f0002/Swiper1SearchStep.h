// The moves of the 0002 link's speed searches (Swiper1TransmitSearch, Swiper1ReceiveSearch),
// plain state machines that the modem drives: each says which speed to try next, and the modem
// plays the probe and reports what it heard.
//
// Kinds: Full searches the whole range; Slower steps one above the current speed (after failed
// sends or replies); Refine starts at the current speed (a saved or earlier speed) and falls
// back to a full search on its first failure.
#pragma once

namespace nvx::reader {

enum class Swiper1CalibrationKind { Full, Slower, Refine };

// The next move of a search.
struct Swiper1SearchStep {
  enum What {
    Probe,         // play the probe at the search's speed()
    WakeAndProbe,  // play the wake tone, then the probe
    Done,          // calibrated at speed()
    Failed,        // give up with code
  };
  What what = Probe;
  int code = 0;
};

// Speeds are single bytes; stepping slower stops at the largest.
inline constexpr int kSwiper1MaxSpeed = 255;

}  // namespace nvx::reader
