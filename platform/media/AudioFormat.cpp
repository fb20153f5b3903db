#include "platform/media/AudioFormat.h"

#include <cmath>
#include <cstring>

namespace platform::media {

bool AudioFormat::valid() const {
  return rate > 0 && rate <= 192000.0 && (channels == 1 || channels == 2) && interleaved;
}

float sampleToFloat(const uint8_t* p, SampleType type) {
  switch (type) {
    case SampleType::S16: {
      int16_t v;
      std::memcpy(&v, p, 2);
      return s16ToFloat(v);
    }
    case SampleType::S16BE:
      return s16ToFloat(static_cast<int16_t>(static_cast<uint16_t>((p[0] << 8) | p[1])));
    case SampleType::U8:
      return (static_cast<float>(p[0]) - 128.0f) / 128.0f;
  }
  return 0;
}

int16_t floatToS16(float v) {
  float scaled = std::nearbyint(v * 32768.0f);
  if (!(scaled > -32768.0f)) return -32768;  // also NaN
  if (scaled > 32767.0f) return 32767;
  return static_cast<int16_t>(scaled);
}

void floatToSample(float v, uint8_t* p, SampleType type) {
  switch (type) {
    case SampleType::S16: {
      int16_t s = floatToS16(v);
      std::memcpy(p, &s, 2);
      return;
    }
    case SampleType::S16BE: {
      auto u = static_cast<uint16_t>(floatToS16(v));
      p[0] = static_cast<uint8_t>(u >> 8);
      p[1] = static_cast<uint8_t>(u & 0xFF);
      return;
    }
    case SampleType::U8: {
      float scaled = std::nearbyint(v * 128.0f) + 128.0f;
      if (!(scaled > 0.0f)) scaled = 0.0f;
      if (scaled > 255.0f) scaled = 255.0f;
      p[0] = static_cast<uint8_t>(scaled);
      return;
    }
  }
}

void decodeFrames(const uint8_t* bytes, size_t frames, const AudioFormat& format, float* left, float* right) {
  const int bps = format.bytesPerSample();
  const int bpf = format.bytesPerFrame();
  for (size_t i = 0; i < frames; ++i) {
    const uint8_t* f = bytes + i * bpf;
    float l = sampleToFloat(f, format.sample);
    left[i] = l;
    right[i] = format.channels > 1 ? sampleToFloat(f + bps, format.sample) : l;
  }
}

void encodeMono(const float* mono, size_t frames, const AudioFormat& format, uint8_t* bytes) {
  const int bps = format.bytesPerSample();
  const int bpf = format.bytesPerFrame();
  for (size_t i = 0; i < frames; ++i) {
    uint8_t* f = bytes + i * bpf;
    floatToSample(mono[i], f, format.sample);
    for (int c = 1; c < format.channels; ++c) std::memcpy(f + c * bps, f, bps);
  }
}

}  // namespace platform::media
