// Cost of writing one usage-statistics record into a record file that already holds n records:
// the file append alone, and a whole step record as a screen writes it on the main thread.
#include <string>

#include <benchmark/benchmark.h>

#include "net/DataStatistics.h"
#include "platform/foundation/Sandbox.h"

namespace {

using nvx::DataStatistics;

DataStatistics& recorder() { return DataStatistics::sharedDataStatistics(); }

const std::string kRecord =
    "0011,2014-05-06 10:11:12,0c3f7b2e9a1d4c5b8e6f7a8b9c0d1e2f,,,13800000000,B00001_1,IOS00,,3.1.5.0";

// Gives the Temp file n records. A run adds records as it goes; it is put back to n records
// every kRefill appends so the size stays near n.
constexpr int kRefill = 200;
void fill(int records) {
  std::string text;
  for (int i = 0; i < records; ++i) {
    if (i) text += '\n';
    text += kRecord;
  }
  (void)platform::fs::writeAtomic(platform::Sandbox::caches() / std::string(DataStatistics::kTempFile), text);
}

void BM_AppendRecord(benchmark::State& state) {
  DataStatistics& stats = recorder();
  const int records = static_cast<int>(state.range(0));
  fill(records);
  int appended = 0;
  for (auto _ : state) {
    stats.writeFile(kRecord, DataStatistics::kTempFile);
    if (++appended % kRefill == 0) {
      state.PauseTiming();
      fill(records);
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_AppendRecord)->ArgName("records")->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_StepRecord(benchmark::State& state) {
  DataStatistics& stats = recorder();
  const int records = static_cast<int>(state.range(0));
  fill(records);
  int appended = 0;
  for (auto _ : state) {
    stats.stepRecord("B00001_1");
    if (++appended % kRefill == 0) {
      state.PauseTiming();
      fill(records);
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_StepRecord)->ArgName("records")->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  const platform::Path home = platform::Sandbox::makeTempRoot("nvx-statistics-bench");
  platform::Sandbox::init(home);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  (void)platform::fs::removeTree(home);
  return 0;
}
