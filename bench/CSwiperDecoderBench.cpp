// The 0001 reader's receive side over synthesized card replies with seeded impairments: white
// noise at a full-band SNR (noise rms against the signal's level), gain, DC offset, hum, a clock
// off by up to 2 %, polarity and clipping. The replies reach the phone as it hears them: 16-bit
// samples in 0.1 s buffers through the capture's band-pass and swipe tracking, and the tracked
// swipe through the decoder. Prints packet success per SNR, a gain sweep and what noise alone
// makes of it, then times the capture and the decoder.
//
//   cswiper_decoder_bench [--packets=N] [benchmark options]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/BenchMain.h"
#include "reader/f0001/CSwiperLineTestSupport.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperSignalReceiver.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_FskController.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_WavBuffer.h"
#include "standin/SimulatedReader0001.h"

namespace {

using bench::Impairment;
using nvx::reader::CSwiper_DecodeMagController;
using nvx::reader::CSwiper_FskController;
using nvx::reader::CSwiper_WavBuffer;
using nvx::reader::CSwiperSignalReceiver;
using nvx::reader::testing::CSwiperLine;
using standin::Reader0001Card;
using standin::SimulatedReader0001;
using Bytes = std::vector<uint8_t>;

constexpr size_t kBuffer = 4411;
const uint8_t kFormats[] = {0x08, 0x06, 0x38, 0x36, 0x31, 0x34, 0x39, 0x40};

Bytes randomPacket(std::mt19937& gen) {
  std::uniform_int_distribution<int> byte(0, 255);
  Reader0001Card card = Reader0001Card::testCard();
  card.format = kFormats[gen() % 8];
  for (auto& b : card.encryptedTracks) b = static_cast<uint8_t>(byte(gen));
  for (auto& b : card.ksn) b = static_cast<uint8_t>(byte(gen));
  for (auto& b : card.random) b = static_cast<uint8_t>(byte(gen));
  card.track2Length = static_cast<uint8_t>(byte(gen));
  return SimulatedReader0001::cardPacket(card);
}

// The line: a lead-in, the reply (if any), a tail; every impairment applied.
std::vector<int16_t> line(const Bytes& packet, const Impairment& imp, std::mt19937& gen, double leadSeconds,
                          double tailSeconds = 0.3) {
  CSwiperLine l;
  l.quiet(leadSeconds);
  if (!packet.empty()) l.say(packet, 0.3, imp.clip ? 1.0 : imp.gain, imp.clock, imp.invert);
  l.quiet(tailSeconds);
  if (imp.clip) l.gain(static_cast<float>(imp.gain));
  const double level = imp.clip ? 1.0 : imp.gain;
  l.noise(level / std::pow(10.0, imp.snrDb / 20), static_cast<uint32_t>(gen()));
  if (imp.dc != 0) l.offset(static_cast<float>(imp.dc));
  if (imp.hum > 0) l.hum(imp.hum * level, 50, std::uniform_real_distribution<double>(0, 6.283185307179586)(gen));
  return l.samples();
}

struct Outcome {
  bool swipe = false;     // the tracking saw a swipe end
  int result = 0;
  Bytes bytes;
};

// Buffer by buffer through the capture until a swipe ends, then the decoder.
Outcome listen(const std::vector<int16_t>& samples) {
  auto store = std::make_shared<CSwiper_WavBuffer>();
  CSwiperSignalReceiver receiver(store);
  receiver.resetForCapture();
  receiver.tracking().setTimeoutBuffers(100000);
  Outcome out;
  for (size_t at = 0; at + kBuffer <= samples.size(); at += kBuffer) {
    receiver.processBuffer(std::span<const int16_t>(samples.data() + at, kBuffer));
    if (receiver.tracking().state() == CSwiper_DecodeMagController::DECODE_MAG_CONTROLLER_WAV_STATE_SWIPE_FINISHED) {
      out.swipe = true;
      break;
    }
  }
  if (!out.swipe) return out;
  std::vector<uint8_t> decoded(CSwiper_FskController::kOutputBytes, 0);
  out.result = CSwiper_FskController::decode(store->decodeSamples(), decoded.data());
  out.bytes.assign(decoded.begin(), decoded.begin() + 200);
  return out;
}

bool good(const Outcome& o, const Bytes& packet) {
  return o.result >= static_cast<int>(packet.size()) && std::equal(packet.begin(), packet.end(), o.bytes.begin());
}

void robustness(int packets) {
  std::printf("Card packet success, %d seeded packets per row (all 8 formats, random contents; the phone's\n"
              "capture and tracking, then the decoder). Impaired: gain log-uniform over the range of the\n"
              "column (of full scale), clock +-2 %%, DC +-2 %% FS, hum up to 20 %% of the signal, polarity\n"
              "either way, 20 %% driven to 1-3x full scale and clipped. Noise only: level 0.5.\n\n", packets);
  std::printf("  SNR dB   gain 0.25-1   gain 0.35-1   noise only\n");
  for (double snr : {40.0, 30.0, 20.0, 10.0, 6.0, 3.0}) {
    double rates[3];
    int column = 0;
    for (double minGain : {0.25, 0.35, -1.0}) {
      std::mt19937 gen(static_cast<uint32_t>(snr * 1000 + column));
      int ok = 0;
      for (int p = 0; p < packets; ++p) {
        const Bytes packet = randomPacket(gen);
        const Impairment imp = minGain > 0 ? bench::drawImpairment(snr, gen, minGain) : Impairment{snr, 0.5};
        ok += good(listen(line(packet, imp, gen, 0.05 + 0.2 * std::uniform_real_distribution<double>(0, 1)(gen))),
                   packet);
      }
      rates[column++] = 100.0 * ok / packets;
    }
    std::printf("  %6.0f   %9.2f %%   %9.2f %%   %8.2f %%\n", snr, rates[0], rates[1], rates[2]);
  }

  std::printf("\nGain sweep at 20 dB, no other impairment (the tracking needs 36,000,000 of 2 kHz power to\n"
              "start a swipe and 1,440,000 to go on):\n");
  for (double gain : {0.2, 0.25, 0.3, 0.35, 0.4, 0.5, 1.0}) {
    std::mt19937 gen(static_cast<uint32_t>(gain * 1e6));
    int ok = 0, n = packets / 4;
    for (int p = 0; p < n; ++p) {
      const Bytes packet = randomPacket(gen);
      ok += good(listen(line(packet, Impairment{20, gain}, gen, 0.1)), packet);
    }
    std::printf("  gain %.2f: %6.2f %%\n", gain, 100.0 * ok / n);
  }

  std::printf("\nNoise alone (1.5 s recordings, noise 0.001-1 FS rms, some with hum and DC):\n");
  int swipes = 0, packetsFound = 0, recordings = packets;
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(0, 1);
  for (int r = 0; r < recordings; ++r) {
    Impairment imp;
    imp.gain = 0.001 * std::pow(1000.0, u(gen));
    imp.snrDb = 0;  // noise rms = gain
    imp.hum = u(gen) < 0.3 ? u(gen) * 2 : 0;
    imp.dc = (u(gen) * 2 - 1) * 0.02;
    Outcome o = listen(line({}, imp, gen, 1.2));
    swipes += o.swipe;
    packetsFound += o.swipe && o.result > 1;
  }
  std::printf("  %d recordings: %d taken for a swipe, %d decoded to a valid packet (false packet accepted)\n",
              recordings, swipes, packetsFound);

  // The decoder alone on noise, as if the tracking had taken it for a swipe (14 buffers).
  int valid = 0;
  std::vector<uint8_t> out(CSwiper_FskController::kOutputBytes);
  for (int r = 0; r < recordings; ++r) {
    Impairment imp;
    imp.gain = 0.001 * std::pow(1000.0, u(gen));
    imp.snrDb = 0;
    imp.hum = u(gen) < 0.3 ? u(gen) * 2 : 0;
    auto samples = line({}, imp, gen, 1.1, 0.3);
    samples.resize(14 * kBuffer);
    std::fill(out.begin(), out.end(), 0);
    valid += CSwiper_FskController::decode(samples, out.data()) > 1;
  }
  std::printf("  the decoder alone on %d such recordings of 14 buffers: %d valid packets\n\n", recordings, valid);
}

std::vector<int16_t> secondWithAPacket() {
  std::mt19937 gen(1);
  auto samples = line(randomPacket(gen), Impairment{20, 0.5}, gen, 0.1);
  samples.resize(44100, 0);
  return samples;
}

void BM_DecodeOneSecond(benchmark::State& state) {
  const auto samples = secondWithAPacket();
  std::vector<uint8_t> out(CSwiper_FskController::kOutputBytes);
  for (auto _ : state) {
    std::fill(out.begin(), out.end(), 0);
    benchmark::DoNotOptimize(CSwiper_FskController::decode(samples, out.data()));
  }
  state.SetLabel("one second of audio at 44,100 frames/s holding a card packet at 20 dB");
}
BENCHMARK(BM_DecodeOneSecond)->Unit(benchmark::kMillisecond);

void BM_CaptureOneSecond(benchmark::State& state) {
  const auto samples = secondWithAPacket();
  auto store = std::make_shared<CSwiper_WavBuffer>();
  CSwiperSignalReceiver receiver(store);
  for (auto _ : state) {
    receiver.resetForCapture();
    for (size_t at = 0; at + kBuffer <= samples.size(); at += kBuffer) {
      receiver.processBuffer(std::span<const int16_t>(samples.data() + at, kBuffer));
    }
  }
  state.SetLabel("band-pass, power and tracking of ten 0.1 s buffers");
}
BENCHMARK(BM_CaptureOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runImpairmentBench(argc, argv, robustness); }
