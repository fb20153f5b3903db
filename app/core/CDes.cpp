#include "app/core/CDes.h"

#include "app/core/SecureBytes.h"

namespace nvx {
namespace {

// The standard's tables. Bit positions count from 1 at the most significant bit of the input.
using Table64 = std::array<uint8_t, 64>;

constexpr Table64 kInitialPermutation = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr Table64 kFinalPermutation = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};

constexpr std::array<uint8_t, 48> kExpansion = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
    12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
    22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

constexpr std::array<uint8_t, 32> kPermutation = {
    16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
    2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr std::array<uint8_t, 56> kPermutedChoice1 = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
    10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
    14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr std::array<uint8_t, 48> kPermutedChoice2 = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
    26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
    51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr std::array<uint8_t, 16> kLeftShifts = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr std::array<std::array<uint8_t, 64>, 8> kSBoxes = {{
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,
     0,  15, 7,  4, 14, 2,  13, 1,  10, 6,  12, 11, 9,  5,  3, 8,
     4,  1,  14, 8, 13, 6,  2,  11, 15, 12, 9,  7,  3,  10, 5, 0,
     15, 12, 8,  2, 4,  9,  1,  7,  5,  11, 3,  14, 10, 0,  6, 13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7, 2,  13, 12, 0, 5,  10,
     3,  13, 4,  7,  15, 2,  8,  14, 12, 0, 1,  10, 6,  9, 11, 5,
     0,  14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,  9,  3, 2,  15,
     13, 8,  10, 1,  3,  15, 4,  2,  11, 6, 7,  12, 0,  5, 14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,
     13, 7,  0,  9,  3, 4,  6,  10, 2,  8,  5,  14, 12, 11, 15, 1,
     13, 6,  4,  9,  8, 15, 3,  0,  11, 1,  2,  12, 5,  10, 14, 7,
     1,  10, 13, 0,  6, 9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3, 0,  6,  9,  10, 1,  2, 8, 5,  11, 12, 4,  15,
     13, 8,  11, 5, 6,  15, 0,  3,  4,  7, 2, 12, 1,  10, 14, 9,
     10, 6,  9,  0, 12, 11, 7,  13, 15, 1, 3, 14, 5,  2,  8,  4,
     3,  15, 0,  6, 10, 1,  13, 8,  9,  4, 5, 11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5,  3,  15, 13, 0, 14, 9,
     14, 11, 2,  12, 4,  7,  13, 1,  5,  0,  15, 10, 3,  9, 8,  6,
     4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,  6,  3, 0,  14,
     11, 8,  12, 7,  1,  14, 2,  13, 6,  15, 0,  9,  10, 4, 5,  3},
    {12, 1,  10, 15, 9, 2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11,
     10, 15, 4,  2,  7, 12, 9,  5,  6,  1,  13, 14, 0,  11, 3,  8,
     9,  14, 15, 5,  2, 8,  12, 3,  7,  0,  4,  10, 1,  13, 11, 6,
     4,  3,  2,  12, 9, 5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0, 8,  13, 3,  12, 9, 7,  5,  10, 6, 1,
     13, 0,  11, 7,  4,  9, 1,  10, 14, 3,  5, 12, 2,  15, 8, 6,
     1,  4,  11, 13, 12, 3, 7,  14, 10, 15, 6, 8,  0,  5,  9, 2,
     6,  11, 13, 8,  1,  4, 10, 7,  9,  5,  0, 15, 14, 2,  3, 12},
    {13, 2,  8,  4, 6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,
     1,  15, 13, 8, 10, 3,  7,  4,  12, 5,  6,  11, 0,  14, 9,  2,
     7,  11, 4,  1, 9,  12, 14, 2,  0,  6,  10, 13, 15, 3,  5,  8,
     2,  1,  14, 7, 4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11},
}};

// Applies a permutation table to the low InBits bits of in.
template <size_t InBits, size_t N>
constexpr uint64_t permute(uint64_t in, const std::array<uint8_t, N>& table) {
  uint64_t out = 0;
  for (uint8_t position : table) out = (out << 1) | ((in >> (InBits - position)) & 1u);
  return out;
}

// The same permutation as one lookup per input byte: entry [b][v] is the output for an input
// whose byte b (from the most significant) is v and whose other bits are 0.
template <size_t InBits>
using ByteTables = std::array<std::array<uint64_t, 256>, InBits / 8>;

template <size_t InBits, size_t N>
constexpr ByteTables<InBits> byteTables(const std::array<uint8_t, N>& table) {
  ByteTables<InBits> tables{};
  for (size_t b = 0; b < InBits / 8; ++b) {
    for (uint64_t v = 0; v < 256; ++v) {
      tables[b][v] = permute<InBits>(v << (InBits - 8 - 8 * b), table);
    }
  }
  return tables;
}

template <size_t InBits>
inline uint64_t apply(const ByteTables<InBits>& tables, uint64_t in) {
  uint64_t out = 0;
  for (size_t b = 0; b < InBits / 8; ++b) out |= tables[b][(in >> (InBits - 8 - 8 * b)) & 0xFFu];
  return out;
}

// S-box i followed by P: entry [i][v] is P of the 32-bit word holding S_i(v) in nibble i.
// The 6-bit input b1..b6 picks row b1b6 and column b2b3b4b5.
constexpr std::array<std::array<uint32_t, 64>, 8> spTables() {
  std::array<std::array<uint32_t, 64>, 8> tables{};
  for (size_t i = 0; i < 8; ++i) {
    for (unsigned v = 0; v < 64; ++v) {
      unsigned row = ((v >> 4) & 2u) | (v & 1u);
      unsigned column = (v >> 1) & 0xFu;
      uint64_t word = uint64_t(kSBoxes[i][row * 16 + column]) << (28 - 4 * i);
      tables[i][v] = static_cast<uint32_t>(permute<32>(word, kPermutation));
    }
  }
  return tables;
}

constexpr ByteTables<64> kIpTables = byteTables<64>(kInitialPermutation);
constexpr ByteTables<64> kFpTables = byteTables<64>(kFinalPermutation);
constexpr ByteTables<64> kPc1Tables = byteTables<64>(kPermutedChoice1);
constexpr ByteTables<56> kPc2Tables = byteTables<56>(kPermutedChoice2);
constexpr ByteTables<32> kExpansionTables = byteTables<32>(kExpansion);
constexpr std::array<std::array<uint32_t, 64>, 8> kSpTables = spTables();

inline uint64_t load(std::span<const uint8_t, 8> bytes) {
  uint64_t v = 0;
  for (uint8_t b : bytes) v = (v << 8) | b;
  return v;
}

inline void store(uint64_t v, std::span<uint8_t, 8> bytes) {
  for (size_t i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(v >> (56 - 8 * i));
}

inline uint32_t rotateLeft28(uint32_t v, unsigned n) {
  return ((v << n) | (v >> (28 - n))) & 0x0FFFFFFFu;
}

inline uint32_t feistel(uint32_t r, uint64_t subkey) {
  uint64_t e = apply<32>(kExpansionTables, r) ^ subkey;
  uint32_t out = 0;
  for (size_t i = 0; i < 8; ++i) out |= kSpTables[i][(e >> (42 - 6 * i)) & 0x3Fu];
  return out;
}

}  // namespace

CDes::~CDes() { secureWipe(subkeys_.data(), sizeof(subkeys_)); }

void CDes::setKey(std::span<const uint8_t, 8> key) {
  uint64_t cd = apply<64>(kPc1Tables, load(key));
  uint32_t c = static_cast<uint32_t>(cd >> 28) & 0x0FFFFFFFu;
  uint32_t d = static_cast<uint32_t>(cd) & 0x0FFFFFFFu;
  for (size_t round = 0; round < 16; ++round) {
    c = rotateLeft28(c, kLeftShifts[round]);
    d = rotateLeft28(d, kLeftShifts[round]);
    subkeys_[round] = apply<56>(kPc2Tables, (uint64_t(c) << 28) | d);
  }
}

void CDes::crypt(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out, bool decrypt) const {
  uint64_t block = apply<64>(kIpTables, load(in));
  uint32_t l = static_cast<uint32_t>(block >> 32);
  uint32_t r = static_cast<uint32_t>(block);
  for (size_t round = 0; round < 16; ++round) {
    uint32_t next = l ^ feistel(r, subkeys_[decrypt ? 15 - round : round]);
    l = r;
    r = next;
  }
  // The halves are swapped after the last round.
  store(apply<64>(kFpTables, (uint64_t(r) << 32) | l), out);
}

void CDes::encryptBlock(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out,
                        std::span<const uint8_t, 8> key) {
  setKey(key);
  crypt(in, out, false);
}

void CDes::decryptBlock(std::span<const uint8_t, 8> in, std::span<uint8_t, 8> out,
                        std::span<const uint8_t, 8> key) {
  setKey(key);
  crypt(in, out, true);
}

}  // namespace nvx
