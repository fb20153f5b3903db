// A graph of a multichannel mixer in front of the duplex unit: each mixer input has a render
// callback that fills non-interleaved stereo signed 16-bit samples; the mix (per-input enable and
// volume, output volume) is played; the microphone arrives as mono signed 16-bit blocks through the
// input callback. All callbacks run on the audio engine's thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/media/AudioStatus.h"

namespace platform::media {

class MixerGraph {
 public:
  // Buffers arrive zeroed; fill `frames` samples of each channel.
  using Render = std::function<void(int16_t* left, int16_t* right, size_t frames)>;
  using MicInput = std::function<void(const int16_t* mono, size_t frames)>;

  explicit MixerGraph(double rate = 44100.0, int inputs = 2);
  ~MixerGraph();   // dispose()
  MixerGraph(const MixerGraph&) = delete;
  MixerGraph& operator=(const MixerGraph&) = delete;

  double rate() const;
  int inputCount() const;
  AudioStatus setRender(int input, Render render);   // kInvalidElement for no such input
  AudioStatus setMicCallback(MicInput mic);
  // Mixer parameters (failNext("MixerGraph::setInputEnabled") ...); enabled and 1.0 by default,
  // volumes clipped to 0..1.
  AudioStatus setInputEnabled(int input, bool on);
  AudioStatus setInputVolume(int input, float volume);
  AudioStatus setOutputVolume(float volume);
  bool inputEnabled(int input) const;
  float inputVolume(int input) const;
  float outputVolume() const;

  AudioStatus initialize();   // failNext("MixerGraph::initialize")
  AudioStatus start();        // failNext("MixerGraph::start"); kUninitialized before initialize
  AudioStatus stop();         // no callback runs once it has returned
  bool running() const;
  void dispose();

  struct Impl;

 private:
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform::media
