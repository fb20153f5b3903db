#include "platform/media/AudioFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace platform::media {
namespace {

TEST(AudioFormatTest, KnownSamplesDecodeInEveryType) {
  struct Case {
    SampleType type;
    std::vector<uint8_t> bytes;
    float value;
  };
  const Case cases[] = {
      {SampleType::S16, {0x00, 0x40}, 0.5f},           // 0x4000 little-endian
      {SampleType::S16, {0x00, 0x80}, -1.0f},          // -32768
      {SampleType::S16, {0xFF, 0xFF}, -1.0f / 32768},
      {SampleType::S16BE, {0x40, 0x00}, 0.5f},         // the same value, big-endian
      {SampleType::S16BE, {0x80, 0x00}, -1.0f},
      {SampleType::S16BE, {0xC0, 0x00}, -0.5f},
      {SampleType::S16BE, {0x00, 0x01}, 1.0f / 32768}, // the low byte comes second
      {SampleType::U8, {0x80}, 0.0f},                  // 128 is silence
      {SampleType::U8, {0xC0}, 0.5f},
      {SampleType::U8, {0x00}, -1.0f},
      {SampleType::U8, {0xFF}, 127.0f / 128},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(sampleToFloat(c.bytes.data(), c.type), c.value) << static_cast<int>(c.type);
    uint8_t out[2] = {0xAA, 0xAA};
    floatToSample(c.value, out, c.type);
    EXPECT_EQ(std::vector<uint8_t>(out, out + c.bytes.size()), c.bytes) << c.value;
  }
}

TEST(AudioFormatTest, EncodingRoundsAndClips) {
  struct Case {
    float value;
    int16_t s16;
    uint8_t u8;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {1.0f, 32767, 255},     {-1.0f, -32768, 0},        {2.5f, 32767, 255}, {-7.0f, -32768, 0},
      {0.0f, 0, 128},         {0.25f / 32768, 0, 128},   {0.75f / 32768, 1, 128}, {nan, -32768, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(floatToS16(c.value), c.s16) << c.value;
    uint8_t be[2];
    floatToSample(c.value, be, SampleType::S16BE);
    EXPECT_EQ(static_cast<int16_t>((be[0] << 8) | be[1]), c.s16) << c.value;
    uint8_t u8;
    floatToSample(c.value, &u8, SampleType::U8);
    EXPECT_EQ(u8, c.u8) << c.value;
  }
}

TEST(AudioFormatTest, FramesDecodeToStereoAndTheMicrophoneFillsEveryChannel) {
  // Two stereo big-endian frames: (0.5, -0.5), (0.25, 0).
  const uint8_t stereo[] = {0x40, 0x00, 0xC0, 0x00, 0x20, 0x00, 0x00, 0x00};
  float l[2], r[2];
  decodeFrames(stereo, 2, {44100, 2, SampleType::S16BE, true}, l, r);
  EXPECT_EQ((std::vector<float>{l[0], r[0], l[1], r[1]}), (std::vector<float>{0.5f, -0.5f, 0.25f, 0.0f}));
  // A mono U8 stream plays on both sides.
  const uint8_t mono[] = {0xC0, 0x40};
  decodeFrames(mono, 2, {48000, 1, SampleType::U8, true}, l, r);
  EXPECT_EQ((std::vector<float>{l[0], r[0], l[1], r[1]}), (std::vector<float>{0.5f, 0.5f, -0.5f, -0.5f}));

  const float mic[] = {0.5f, -1.0f};
  uint8_t out[8];
  encodeMono(mic, 2, AudioFormat::s16(44100, 2), out);
  const uint8_t expected[] = {0x00, 0x40, 0x00, 0x40, 0x00, 0x80, 0x00, 0x80};
  EXPECT_EQ(std::vector<uint8_t>(out, out + 8), std::vector<uint8_t>(expected, expected + 8));
}

TEST(AudioFormatTest, OnlyPlayableFormatsAreValid) {
  EXPECT_TRUE(AudioFormat::s16(176400, 2).valid());
  EXPECT_TRUE((AudioFormat{48000, 1, SampleType::U8, true}.valid()));
  EXPECT_FALSE(AudioFormat::s16(0, 2).valid());
  EXPECT_FALSE(AudioFormat::s16(192001, 2).valid());
  EXPECT_FALSE(AudioFormat::s16(44100, 3).valid());
  EXPECT_FALSE((AudioFormat{44100, 2, SampleType::S16, false}.valid()));
  EXPECT_EQ((AudioFormat{48000, 2, SampleType::U8, true}.bytesPerFrame()), 2);
  EXPECT_EQ(AudioFormat::s16(44100, 2).bytesPerFrame(), 4);
}

}  // namespace
}  // namespace platform::media
