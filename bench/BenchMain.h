// The main of the impairment benches: `--packets=N` (default 2000) sets how many seeded signals
// each printed cell is measured over; the robustness tables are printed first, then the timed
// benchmarks run with the remaining options.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace bench {

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
