// Sample formats of the audio streams and the conversions between them and the engine's float
// samples (-1 .. +1).
#pragma once
#include <cstddef>
#include <cstdint>

namespace platform::media {

enum class SampleType {
  S16,    // signed 16-bit, native (little-endian) order
  S16BE,  // signed 16-bit, big-endian
  U8,     // unsigned 8-bit, 128 = silence
};

struct AudioFormat {
  double rate = 44100.0;       // frames per second
  int channels = 2;            // 1 or 2
  SampleType sample = SampleType::S16;
  bool interleaved = true;     // queues and the duplex unit take interleaved frames only

  static AudioFormat s16(double rate, int channels) { return {rate, channels, SampleType::S16, true}; }

  int bytesPerSample() const { return sample == SampleType::U8 ? 1 : 2; }
  int bytesPerFrame() const { return bytesPerSample() * channels; }
  // A format the streams accept: rate in (0, 192000], 1 or 2 channels, interleaved.
  bool valid() const;
  friend bool operator==(const AudioFormat&, const AudioFormat&) = default;
};

// One sample. S16: v / 32768. U8: (v - 128) / 128.
float sampleToFloat(const uint8_t* p, SampleType type);
// One sample, rounded to nearest and clipped to the type's range (+1.0 gives 32767 or 255).
void floatToSample(float v, uint8_t* p, SampleType type);
inline float s16ToFloat(int16_t v) { return static_cast<float>(v) / 32768.0f; }
int16_t floatToS16(float v);

// frames interleaved frames of `format` to float stereo (a mono stream plays on both sides).
void decodeFrames(const uint8_t* bytes, size_t frames, const AudioFormat& format, float* left, float* right);
// frames of one float channel (the microphone) into interleaved frames of `format`: every
// channel of a frame gets the same sample.
void encodeMono(const float* mono, size_t frames, const AudioFormat& format, uint8_t* bytes);

}  // namespace platform::media
