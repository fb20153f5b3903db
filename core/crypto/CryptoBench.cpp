// Cost of the request MAC and of the PIN-block path, with the keys of the bundled settings.
#include <string>

#include <benchmark/benchmark.h>

#include "core/text/CArithmetic.h"
#include "core/crypto/CDes.h"
#include "core/crypto/EncryptTool.h"

namespace {

const std::string kMacKey = "7CA110454A1A6E570131D9619DC1376E";
const std::string kPinKey = "4F1A7C2D9E0B3A5866F0C1D2E3A4B5C6";

std::string requestText(size_t size) {
  std::string text;
  for (size_t i = 0; i < size; ++i) text.push_back(static_cast<char>('0' + i % 43));
  return text;
}

// One block under the key of the previous block (a MAC chain), and under a new key every time
// (the key schedule included).
void BM_DesBlock(benchmark::State& state) {
  std::array<uint8_t, 8> keys[2] = {{0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1},
                                    {0x0E, 0x32, 0x92, 0x32, 0xEA, 0x6D, 0x0D, 0x73}};
  std::array<uint8_t, 8> block = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  const bool newKey = state.range(0) != 0;
  nvx::CDes des;
  size_t i = 0;
  for (auto _ : state) {
    des.encryptBlock(block, block, keys[newKey ? i++ % 2 : 0]);
    benchmark::DoNotOptimize(block);
  }
}
BENCHMARK(BM_DesBlock)->ArgName("newKey")->Arg(0)->Arg(1);

void BM_Mac(benchmark::State& state) {
  std::string text = requestText(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(nvx::EncryptTool::generateMac(text, kMacKey));
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Mac)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_PinBlockTripleDes(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(nvx::EncryptTool::encrypt("06123456FFFFFFFF", kPinKey));
  }
}
BENCHMARK(BM_PinBlockTripleDes)->Unit(benchmark::kMicrosecond);

// The whole PIN-block path: Triple DES under the PIN key, then RSA with the settings' PIN key
// (its PEM is parsed at the first call of the run only).
void BM_PinBlockPath(benchmark::State& state) {
  for (auto _ : state) {
    auto block = nvx::EncryptTool::encrypt("06123456FFFFFFFF", kPinKey);
    benchmark::DoNotOptimize(nvx::EncryptTool::getPinRSAEncryptionKeyFromString(*block));
  }
}
BENCHMARK(BM_PinBlockPath)->Unit(benchmark::kMicrosecond);

// What a paying request costs in ciphers: the MAC over a 200-byte request and the PIN block.
void BM_MacAndPinBlock(benchmark::State& state) {
  std::string text = requestText(200);
  for (auto _ : state) {
    benchmark::DoNotOptimize(nvx::EncryptTool::generateMac(text, kMacKey));
    auto block = nvx::EncryptTool::encrypt("06123456FFFFFFFF", kPinKey);
    benchmark::DoNotOptimize(nvx::EncryptTool::getPinRSAEncryptionKeyFromString(*block));
  }
}
BENCHMARK(BM_MacAndPinBlock)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
