// The main of the impairment benches: `--packets=N` (default 2000) sets how many seeded signals
// each printed cell is measured over; the robustness tables are printed first, then the timed
// benchmarks run with the remaining options. Also the impairments of a line and their seeded draw.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace bench {

// What a line does to a reader's reply on its way to the phone.
struct Impairment {
  double snrDb = 40;    // full-band: noise rms against the signal's level
  double gain = 0.5;    // the signal's level, of full scale
  double dc = 0;        // of full scale
  double hum = 0;       // 50 Hz, relative to the signal
  double clock = 0;     // the reader's clock error
  bool clip = false;    // driven past full scale (gain 1..3), then clipped
  bool invert = false;
};

// Every impairment at once: gain log-uniform from minGain to 1 (a fifth of the lines driven to
// 1-3x full scale and clipped instead), DC within +-2 % FS, hum up to 20 % of the signal, the
// clock within +-2 %, either polarity.
inline Impairment drawImpairment(double snrDb, std::mt19937& gen, double minGain) {
  std::uniform_real_distribution<double> u(0, 1);
  Impairment imp;
  imp.snrDb = snrDb;
  imp.gain = minGain * std::pow(1.0 / minGain, u(gen));
  imp.clip = u(gen) < 0.2;
  if (imp.clip) imp.gain = 1 + 2 * u(gen);
  imp.dc = (u(gen) * 2 - 1) * 0.02;
  imp.hum = u(gen) * 0.2;
  imp.clock = (u(gen) * 2 - 1) * 0.02;
  imp.invert = u(gen) < 0.5;
  return imp;
}

inline int runImpairmentBench(int argc, char** argv, const std::function<void(int packets)>& robustness,
                              int minimumPackets = 1) {
  int packets = 2000;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--packets=", 10) == 0) packets = std::max(minimumPackets, std::atoi(argv[i] + 10));
    else rest.push_back(argv[i]);
  }
  robustness(packets);
  int n = static_cast<int>(rest.size());
  benchmark::Initialize(&n, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
