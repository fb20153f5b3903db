// The 0002 reader's demodulator over synthesized replies with seeded impairments: white noise
// at a full-band SNR, gain, DC offset, a clock off by up to 2 %, clipping and mains hum. The
// replies reach the demodulator as the modem hears them (the high byte of 16-bit samples, 20 ms
// at a time, with the ring trimmed as the modem trims it). Prints packet success per SNR and the
// false frames found in noise alone, then times the demodulator.
//
//   swiper1_demodulator_bench [--packets=N] [benchmark options]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/media/AudioFormat.h"
#include "bench/BenchMain.h"
#include "reader/f0002/Swiper1Demodulator.h"
#include "reader/f0002/Swiper1Frame.h"
#include "standin/SimulatedReader0002.h"

namespace {

using bench::Impairment;
using nvx::reader::Swiper1Demodulator;
using nvx::reader::Swiper1Frame;
using standin::SimulatedReader0002;

constexpr uint32_t kRate = 176400;
constexpr size_t kPoll = kRate / 50;  // the modem looks every 20 ms
const int kCodes[] = {7, 9, 15, 23};

std::vector<int8_t> heard(const std::vector<float>& x) {
  std::vector<int8_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) out[i] = static_cast<int8_t>(platform::media::floatToS16(x[i]) >> 8);
  return out;
}

// The line as the microphone hears it: lead-in, the reply, a tail; every impairment applied.
std::vector<float> line(const std::vector<uint8_t>& bytes, int F, const Impairment& imp, std::mt19937& gen,
                        double leadMs) {
  std::vector<float> x(static_cast<size_t>(leadMs * kRate / 1000), 0.0f);
  if (!bytes.empty()) {
    SimulatedReader0002::render(SimulatedReader0002::replyIntervals(bytes, F), kRate, imp.gain, imp.clock, imp.invert, x);
  }
  x.resize(x.size() + static_cast<size_t>(0.03 * kRate), 0.0f);
  std::normal_distribution<float> noise(0.0f, static_cast<float>(imp.gain / std::pow(10.0, imp.snrDb / 20)));
  std::uniform_real_distribution<double> phase(0, 6.283185307179586);
  const double humPhase = phase(gen);
  for (size_t i = 0; i < x.size(); ++i) {
    double v = x[i] + noise(gen) + imp.dc +
               imp.hum * imp.gain * std::sin(6.283185307179586 * 50 * static_cast<double>(i) / kRate + humPhase);
    x[i] = static_cast<float>(std::clamp(v, -1.0, 1.0));
  }
  return x;
}

struct Outcome {
  bool frame = false;      // a frame was found
  bool checked = false;    // it decoded to a frame whose length and check hold
  std::vector<uint8_t> bytes;
};

// Feeds the samples 20 ms at a time, trimming the ring as the modem does, until a frame is found.
Outcome listen(const std::vector<int8_t>& samples, int F, Swiper1Demodulator& demod) {
  Swiper1Demodulator::Levels levels;
  const int T = Swiper1Demodulator::thresholdForCode(F, kRate);
  std::vector<int8_t> ring;
  Outcome out;
  for (size_t at = 0; at < samples.size(); at += kPoll) {
    size_t n = std::min(kPoll, samples.size() - at);
    ring.insert(ring.end(), samples.begin() + static_cast<std::ptrdiff_t>(at),
                samples.begin() + static_cast<std::ptrdiff_t>(at + n));
    auto d = demod.detect(ring, T, levels);
    if (d.found == Swiper1Demodulator::Found::Frame) {
      auto decoded = demod.decode(ring, d.dataStart, d.end, T);
      out.frame = true;
      out.bytes = decoded.bytes;
      out.checked = !decoded.parityError && Swiper1Frame::payload(decoded.bytes).has_value();
      return out;
    }
    if (d.found == Swiper1Demodulator::Found::LongTone) d.consumable = d.end;
    ring.erase(ring.begin(), ring.begin() + static_cast<std::ptrdiff_t>(std::min(d.consumable, ring.size())));
  }
  return out;
}

std::vector<uint8_t> randomFrame(std::mt19937& gen) {
  std::uniform_int_distribution<int> length(1, 48), byte(0, 255);
  std::vector<uint8_t> payload(static_cast<size_t>(length(gen)));
  for (auto& b : payload) b = static_cast<uint8_t>(byte(gen));
  return Swiper1Frame::wrap(payload);
}

void robustness(int packets) {
  Swiper1Demodulator demod(kRate);
  std::printf("Packet success, %d seeded packets per row (1-48 byte payloads, F in {7, 9, 15, 23},\n"
              "clock +-2 %%, DC +-2 %% FS, hum up to 20 %% of the signal, polarity either way,\n"
              "20 %% driven to 1-3x full scale and clipped):\n\n", packets);
  std::printf("  SNR dB   gain 0.02-1   gain 0.04-1   no impairment but noise\n");
  for (double snr : {40.0, 30.0, 20.0, 10.0, 6.0, 3.0}) {
    double rates[3];
    int idx = 0;
    for (double minGain : {0.02, 0.04, -1.0}) {
      std::mt19937 gen(static_cast<uint32_t>(snr * 1000 + idx));
      int ok = 0;
      for (int p = 0; p < packets; ++p) {
        auto frame = randomFrame(gen);
        int F = kCodes[gen() % 4];
        Impairment imp = minGain > 0 ? bench::drawImpairment(snr, gen, minGain) : Impairment{snr, 0.5};
        auto samples = heard(line(frame, F, imp, gen, 5 + static_cast<double>(gen() % 25)));
        Outcome o = listen(samples, F, demod);
        ok += o.frame && o.bytes == frame;
      }
      rates[idx++] = 100.0 * ok / packets;
    }
    std::printf("  %6.0f   %10.2f %%  %10.2f %%  %10.2f %%\n", snr, rates[0], rates[1], rates[2]);
  }

  std::printf("\nGain sweep at 20 dB, no other impairment (the fixed floors: mean |x| and peak-to-peak above 4 of 128):\n");
  for (double gain : {0.02, 0.025, 0.03, 0.035, 0.04, 0.05, 0.1}) {
    std::mt19937 gen(static_cast<uint32_t>(gain * 1e6));
    int ok = 0, n = packets / 4;
    for (int p = 0; p < n; ++p) {
      auto frame = randomFrame(gen);
      Impairment imp{20, gain};
      auto samples = heard(line(frame, 9, imp, gen, 10));
      Outcome o = listen(samples, 9, demod);
      ok += o.frame && o.bytes == frame;
    }
    std::printf("  gain %.3f: %6.2f %%\n", gain, 100.0 * ok / n);
  }

  std::printf("\nNoise alone (0.5 s buffers, noise 0.001-0.5 FS rms, with hum and DC):\n");
  int frames = 0, checked = 0, buffers = packets * 2;
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(0, 1);
  for (int b = 0; b < buffers; ++b) {
    Impairment imp;
    imp.gain = 0.001 * std::pow(500.0, u(gen));
    imp.snrDb = 0;  // noise rms = gain
    imp.hum = u(gen) < 0.3 ? u(gen) * 2 : 0;
    imp.dc = (u(gen) * 2 - 1) * 0.02;
    auto samples = heard(line({}, 9, imp, gen, 470));
    Outcome o = listen(samples, kCodes[b % 4], demod);
    frames += o.frame;
    checked += o.checked;
  }
  std::printf("  %d buffers: %d taken for a frame, %d of them a frame that checks (false frame accepted)\n\n",
              buffers, frames, checked);
}

void BM_DetectAndDecodeOneSecond(benchmark::State& state) {
  std::mt19937 gen(1);
  std::vector<float> x;
  // A second of line: card replies with gaps, at 20 dB.
  while (x.size() < kRate) {
    auto part = line(randomFrame(gen), 9, Impairment{20, 0.5}, gen, 20);
    x.insert(x.end(), part.begin(), part.end());
  }
  x.resize(kRate);
  auto samples = heard(x);
  Swiper1Demodulator demod(kRate);
  const int T = Swiper1Demodulator::thresholdForCode(9, kRate);
  for (auto _ : state) {
    Swiper1Demodulator::Levels levels;
    size_t from = 0, frames = 0;
    while (from < samples.size()) {
      std::span<const int8_t> rest(samples.data() + from, samples.size() - from);
      auto d = demod.detect(rest, T, levels);
      if (d.found != Swiper1Demodulator::Found::Frame && d.found != Swiper1Demodulator::Found::LongTone) break;
      auto decoded = demod.decode(rest, d.dataStart, d.end, T);
      benchmark::DoNotOptimize(decoded);
      ++frames;
      from += d.end;
    }
    state.counters["frames"] = static_cast<double>(frames);
  }
  state.SetLabel("one second of audio at 176,400 frames/s");
}
BENCHMARK(BM_DetectAndDecodeOneSecond)->Unit(benchmark::kMillisecond);

void BM_DetectOneSecondOfNoise(benchmark::State& state) {
  std::mt19937 gen(2);
  auto samples = heard(line({}, 9, Impairment{0, 0.05}, gen, 970));
  Swiper1Demodulator demod(kRate);
  for (auto _ : state) {
    Swiper1Demodulator::Levels levels;
    benchmark::DoNotOptimize(demod.detect(samples, 21, levels));
  }
}
BENCHMARK(BM_DetectOneSecondOfNoise)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runImpairmentBench(argc, argv, robustness); }
