// Fuzzes the raw-stripe decoder of the 0003-0006 readers over arbitrary recorded sound, and its
// character reading over arbitrary bit strings. Whatever the input, the track fits the output
// with its closing zero and runs from the start sentinel to the end sentinel.
//
// Input: byte 0 chooses the output size (1 to 64); the rest are little-endian 16-bit samples,
// and, as bits, the string the character reading gets.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "reader/f0003/NLF2FDecoder.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

void checkTrack(const std::string& track) {
  if (track.empty()) return;
  require(track.size() <= nvx::reader::f2f::kMaxCharacters);
  require(track.front() == ';' && track.back() == '?');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t outputSize = 1 + data[0] % 64;
  std::vector<int16_t> samples((size - 1) / 2);
  if (!samples.empty()) std::memcpy(samples.data(), data + 1, samples.size() * 2);
  std::vector<char> output(outputSize, 'x');
  const int n = nvx::reader::decode_f2f_track2(samples.data(), samples.size(), output.data(), output.size());
  require(n >= -1);
  if (n >= 0) {
    require(static_cast<size_t>(n) < outputSize && output[static_cast<size_t>(n)] == 0);
    checkTrack(std::string(output.data(), static_cast<size_t>(n)));
  }

  std::string bits;
  for (size_t i = 1; i < size; ++i) bits += (data[i] & 1) ? '1' : '0';
  checkTrack(nvx::reader::f2f::track2FromBits(bits));
  return 0;
}
