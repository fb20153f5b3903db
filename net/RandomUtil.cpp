#include "net/RandomUtil.h"

#include <openssl/rand.h>

#include <atomic>
#include <cstring>
#include <limits>
#include <random>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {

namespace {

constexpr std::string_view kLogTag = "RandomUtil";

struct RandomState {
  std::atomic<bool> seeded{false};
};

// Random bytes from OpenSSL; should it ever fail, from the system's source instead.
void fillRandom(unsigned char* out, size_t n) {
  RandomUtil::reallyRandom();
  if (RAND_bytes(out, static_cast<int>(n)) == 1) return;
  platform::log::error(kLogTag, "the OpenSSL generator failed; using the system's random source");
  std::random_device device;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(device());
}

uint64_t random64() {
  unsigned char bytes[8];
  fillRandom(bytes, sizeof bytes);
  uint64_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

}  // namespace

void RandomUtil::reallyRandom() {
  auto& state = platform::Process::current().shared<RandomState>();
  if (state.seeded.exchange(true)) return;
  // OpenSSL seeds itself from the operating system; make sure it managed to.
  if (RAND_status() != 1 && RAND_poll() != 1) {
    platform::log::error(kLogTag, "the OpenSSL generator could not be seeded");
  }
}

double RandomUtil::randomFloatZeroToOne() {
  // 53 random bits: every value a multiple of 2^-53 in [0, 1).
  return static_cast<double>(random64() >> 11) * 0x1.0p-53;
}

double RandomUtil::randomFloat(double n) { return n * randomFloatZeroToOne(); }

int64_t RandomUtil::randomInt(int64_t n) {
  if (n < 1) return 0;
  const auto bound = static_cast<uint64_t>(n);
  // Draws at or above the largest multiple of bound would favour the small values: drawn again.
  const uint64_t excess = (std::numeric_limits<uint64_t>::max() % bound + 1) % bound;
  const uint64_t limit = std::numeric_limits<uint64_t>::max() - excess;
  uint64_t draw = random64();
  while (draw > limit) draw = random64();
  return static_cast<int64_t>(draw % bound);
}

std::string RandomUtil::random16Hexs() {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  unsigned char bytes[8];
  fillRandom(bytes, sizeof bytes);
  std::string out;
  out.reserve(16);
  for (unsigned char b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0x0F]);
  }
  return out;
}

}  // namespace nvx
