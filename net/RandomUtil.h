// Random numbers of the client, drawn from OpenSSL's generator (safe to call from any thread).
// Besides the request identity, random16Hexs gives the "rnd" field of card-less transactions.
#pragma once
#include <cstdint>
#include <string>

namespace nvx {

class RandomUtil {
 public:
  // Makes sure the generator is seeded; the check runs once per run, later calls do nothing.
  static void reallyRandom();
  // A number in [0, 1).
  static double randomFloatZeroToOne();
  // n times randomFloatZeroToOne.
  static double randomFloat(double n);
  // An integer from 0 to n - 1, every value equally likely; 0 when n < 1.
  static int64_t randomInt(int64_t n);
  // 16 characters, each drawn uniformly from the upper-case hex digits 0-9, A-F.
  static std::string random16Hexs();
};

}  // namespace nvx
