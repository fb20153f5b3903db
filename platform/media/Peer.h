// What sits in the headset socket: it hears the phone's output and speaks into the phone's
// microphone (a simulated card reader, a loopback in tests).
#pragma once
#include <span>

namespace platform::media {

class Peer {
 public:
  virtual ~Peer() = default;
  // Called on the audio engine's thread once per hardware buffer while a stream runs, in this
  // order: speak (the microphone block captured during the buffer), then hear (the block played
  // during it). So an answer to what was heard comes back one buffer later at the earliest.
  // Samples are floats in -1..+1, after queue volume and the media volume, at `rate` frames/s;
  // both spans have the buffer's frame count. Neither may block for long or call into the streams.
  virtual void hear(std::span<const float> left, std::span<const float> right, double rate) = 0;
  // Fills the microphone block (mono); it arrives zeroed. The phone applies its input gain after.
  virtual void speak(std::span<float> mic, double rate) = 0;
};

}  // namespace platform::media
