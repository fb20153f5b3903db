// The duplex (remote input/output) unit: one render callback per hardware buffer, on the audio
// engine's thread, that pulls the microphone input and fills the output in the same buffer.
// Interleaved signed 16-bit frames, native order, 1 or 2 channels, at the format's rate (family
// 0002 runs it at 176,400 frames/s, stereo).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/media/AudioFormat.h"
#include "platform/media/AudioStatus.h"

namespace platform::media {

class DuplexUnit {
 public:
  // io holds frames * channels values. On entry: the microphone (every channel the same sample;
  // zeros while input is disabled); on return: what to play.
  using Render = std::function<void(int16_t* io, size_t frames)>;

  DuplexUnit(AudioFormat format, Render render);
  ~DuplexUnit();   // dispose()
  DuplexUnit(const DuplexUnit&) = delete;
  DuplexUnit& operator=(const DuplexUnit&) = delete;

  const AudioFormat& format() const;
  AudioStatus setInputEnabled(bool on);   // off by default; set before initialize
  bool inputEnabled() const;
  // Checks the format (kFormatNotSupported unless S16 interleaved, 1-2 channels, valid rate).
  // failNext("DuplexUnit::initialize").
  AudioStatus initialize();
  // kUninitialized before initialize; kCannotStart while another rate runs.
  // failNext("DuplexUnit::start").
  AudioStatus start();
  // When it returns the render callback is not running and will not run again.
  AudioStatus stop();                      // failNext("DuplexUnit::stop")
  bool isRunning() const;
  void dispose();

  struct Impl;

 private:
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform::media
