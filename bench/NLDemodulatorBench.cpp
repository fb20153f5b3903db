// The 0003-0006 reader's reply path over synthesized replies with seeded impairments: white noise
// at a full-band SNR, gain, DC offset, a clock off by up to 2 %, clipping, mains hum and either
// polarity. The replies reach the phone as the input queue hands them over (buffers of 4,000
// samples at 48 kHz, the recording starting at any point of a buffer) and go through the input
// collector and the demodulator. Prints message success per SNR and the false messages found in
// noise alone, then times the collector and demodulator.
//
//   nl_demodulator_bench [--packets=N] [benchmark options]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "bench/BenchMain.h"
#include "reader/f0003/NLDemodulator.h"
#include "reader/f0003/NLLineConditioner.h"
#include "reader/f0003/NLSignalCollector.h"
#include "standin/SimulatedReader0003.h"

namespace {

using bench::Impairment;
using nvx::reader::NLDemodulator;
using nvx::reader::NLLineConditioner;
using nvx::reader::NLSignalCollector;
using standin::SimulatedReader0003;
using Bytes = std::vector<uint8_t>;

constexpr double kRate = 48000;
constexpr size_t kBuffer = 4000;
constexpr double kTwoPi = 6.283185307179586;

// The line as the microphone records it: silence, the reply (smoothed as the line smooths it),
// silence; every impairment applied.
std::vector<int16_t> line(const Bytes& message, const Impairment& imp, std::mt19937& gen, size_t lead) {
  std::vector<float> x(lead, 0.0f);
  if (!message.empty()) SimulatedReader0003::renderReply(message, kRate, imp.gain, imp.clock, imp.invert, x);
  x.resize(x.size() + 3 * kBuffer, 0.0f);
  std::normal_distribution<double> noise(0.0, imp.gain / std::pow(10.0, imp.snrDb / 20));
  std::uniform_real_distribution<double> phase(0, kTwoPi);
  const double humPhase = phase(gen);
  const double alpha = 1 - std::exp(-1e6 / (kRate * 10.0));
  double smooth = 0;
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    smooth += alpha * (x[i] - smooth);
    double v = smooth + noise(gen) + imp.dc + imp.hum * imp.gain * std::sin(kTwoPi * 50 * static_cast<double>(i) / kRate + humPhase);
    out[i] = static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
  }
  return out;
}

// Buffer by buffer through the collector; the messages of every recording it hands over.
std::vector<Bytes> listen(std::vector<int16_t> samples) {
  NLLineConditioner conditioner;
  NLSignalCollector collector(NLSignalCollector::Mode::Framed);
  std::vector<Bytes> got;
  for (size_t at = 0; at + kBuffer <= samples.size(); at += kBuffer) {
    std::span<int16_t> buffer = std::span<int16_t>(samples).subspan(at, kBuffer);
    conditioner.process(buffer);
    if (!collector.feed(buffer)) continue;
    for (auto& m : NLDemodulator::demodulate(collector.recording())) got.push_back(std::move(m));
    collector.reset();
  }
  return got;
}

Bytes randomMessage(std::mt19937& gen) {
  std::uniform_int_distribution<int> length(2, 60), byte(0, 255);
  Bytes data(static_cast<size_t>(length(gen)));
  for (auto& b : data) b = static_cast<uint8_t>(byte(gen));
  return SimulatedReader0003::frame(data);
}

double successRate(int packets, uint32_t seed, const std::function<Impairment(std::mt19937&)>& impairment) {
  std::mt19937 gen(seed);
  int ok = 0;
  for (int p = 0; p < packets; ++p) {
    const Bytes message = randomMessage(gen);
    const Impairment imp = impairment(gen);
    auto got = listen(line(message, imp, gen, gen() % kBuffer));
    ok += got.size() == 1 && got[0] == message;
  }
  return 100.0 * ok / packets;
}

void robustness(int packets) {
  std::printf("Message success, %d seeded messages per cell (frames of 2-60 data bytes; clock +-2 %%,\n"
              "DC +-2 %% FS, hum up to 20 %% of the signal, polarity either way, 20 %% driven to 1-3x\n"
              "full scale and clipped; gain log-uniform 0.2-1 FS):\n\n", packets);
  std::printf("  SNR dB   all impairments   noise only (gain 0.5)\n");
  for (double snr : {40.0, 30.0, 20.0, 15.0, 12.0, 10.0, 6.0}) {
    const double all = successRate(packets, static_cast<uint32_t>(snr * 100), [snr](std::mt19937& g) { return bench::drawImpairment(snr, g, 0.2); });
    const double plain = successRate(packets, static_cast<uint32_t>(snr * 100 + 1), [snr](std::mt19937&) { return Impairment{snr, 0.5}; });
    std::printf("  %6.0f   %13.2f %%   %17.2f %%\n", snr, all, plain);
  }

  std::printf("\nOne impairment at a time (clipping: driven at 1-3x full scale, the noise relative to that):\n");
  std::printf("  SNR dB   clipped   hum+DC   clock   gain 0.2-0.3   gain 0.3-1   inverted\n");
  for (double snr : {15.0, 12.0, 10.0}) {
    using Draw = std::function<Impairment(std::mt19937&)>;
    const Draw rows[] = {
        [snr](std::mt19937& g) { std::uniform_real_distribution<double> u(0, 1); Impairment i{snr, 1 + 2 * u(g)}; i.clip = true; return i; },
        [snr](std::mt19937& g) { std::uniform_real_distribution<double> u(0, 1); Impairment i{snr, 0.5}; i.hum = 0.2 * u(g); i.dc = (u(g) * 2 - 1) * 0.02; return i; },
        [snr](std::mt19937& g) { std::uniform_real_distribution<double> u(0, 1); Impairment i{snr, 0.5}; i.clock = (u(g) * 2 - 1) * 0.02; return i; },
        [snr](std::mt19937& g) { std::uniform_real_distribution<double> u(0, 1); return Impairment{snr, 0.2 + 0.1 * u(g)}; },
        [snr](std::mt19937& g) { std::uniform_real_distribution<double> u(0, 1); return Impairment{snr, 0.3 + 0.7 * u(g)}; },
        [snr](std::mt19937&) { Impairment i{snr, 0.5}; i.invert = true; return i; },
    };
    std::printf("  %6.0f", snr);
    uint32_t seed = 11;
    for (const auto& row : rows) std::printf("  %7.2f %%", successRate(packets, seed++, row));
    std::printf("\n");
  }
  std::printf("\nGain sweep at 20 dB, no other impairment (peaks must reach 5,000 of 32,768 = 0.153 FS):\n");
  for (double gain : {0.14, 0.15, 0.16, 0.17, 0.2, 0.3}) {
    const double rate = successRate(packets / 4, static_cast<uint32_t>(gain * 1e5), [gain](std::mt19937&) { return Impairment{20, gain}; });
    std::printf("  gain %.2f: %6.2f %%\n", gain, rate);
  }

  std::printf("\nNoise alone (1 s of line per trial, noise 0.001-0.5 FS rms, some with hum and DC):\n");
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(0, 1);
  int falseMessages = 0;
  const int trials = std::max(1, packets / 4);
  for (int t = 0; t < trials; ++t) {
    Impairment imp;
    imp.gain = 0.001 * std::pow(500.0, u(gen));
    imp.snrDb = 0;  // noise rms = gain
    imp.hum = u(gen) < 0.3 ? u(gen) * 2 : 0;
    imp.dc = (u(gen) * 2 - 1) * 0.02;
    falseMessages += static_cast<int>(listen(line({}, imp, gen, 36000)).size());
  }
  std::printf("  %d seconds: %d false messages accepted\n\n", trials, falseMessages);
}

// One second of line with card-sized replies at 20 dB.
std::vector<int16_t> secondOfReplies() {
  std::mt19937 gen(1);
  std::vector<int16_t> x;
  while (x.size() < static_cast<size_t>(kRate)) {
    auto part = line(randomMessage(gen), Impairment{20, 0.5}, gen, 2000);
    x.insert(x.end(), part.begin(), part.end());
  }
  x.resize(static_cast<size_t>(kRate));
  return x;
}

void BM_CollectAndDemodulateOneSecond(benchmark::State& state) {
  const auto samples = secondOfReplies();
  size_t messages = 0;
  for (auto _ : state) {
    auto got = listen(samples);
    messages = got.size();
    benchmark::DoNotOptimize(got);
  }
  state.counters["messages"] = static_cast<double>(messages);
  state.counters["x_real_time"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
  state.SetLabel("one second of audio at 48,000 samples/s");
}
BENCHMARK(BM_CollectAndDemodulateOneSecond)->Unit(benchmark::kMillisecond);

void BM_DemodulateAFullStore(benchmark::State& state) {
  auto samples = secondOfReplies();
  samples.resize(NLSignalCollector::kStoreSamples);
  for (auto _ : state) benchmark::DoNotOptimize(NLDemodulator::demodulate(samples));
  state.counters["x_real_time"] =
      benchmark::Counter(static_cast<double>(samples.size()) / kRate, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DemodulateAFullStore)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runImpairmentBench(argc, argv, robustness, 4); }
