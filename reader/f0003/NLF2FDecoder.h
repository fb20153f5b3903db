// Magnetic-stripe track 2 from the raw signal of a 0003-0006 reader that passes the stripe's
// flux straight to the microphone (48,000 samples/s, signed 16 bits): the level changes sign at
// every flux reversal; F2F coding puts a reversal at every bit boundary and one more in the middle
// of a 1. Characters are 5 bits, 4 data bits least significant first and an odd parity bit,
// from the start sentinel ';' to the end sentinel '?', followed by the LRC.
//
// The decoder finds the swipe in the recording, takes each half-wave's peak, drops spikes,
// measures the intervals between reversals, follows the bit period through the swipe, scores each
// interval as a 0 or the first half of a 1, and reads the characters forwards or, when no start
// track turns up, backwards (a swipe the other way). When the first measurement gives
// no characters, a second one times the reversals by the peaks' extremes instead.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nvx::reader {

// The characters of track 2 (start sentinel to end sentinel, each character value plus 0x30)
// written to output with a closing zero; their count, or -1 when nothing was decoded. output
// must hold outputSize bytes (50: at most 49 characters).
int decode_f2f_track2(const int16_t* samples, size_t count, char* output, size_t outputSize);

namespace f2f {

constexpr size_t kMaxPeaks = 2400;
constexpr size_t kMaxIntervals = 2400;
constexpr size_t kMaxBits = 500;
constexpr size_t kMaxCharacters = 49;

// The track read from a bit string ('0' and '1'): the sentinel search, parity, end sentinel and
// LRC; once reversed when no track is read. Empty when nothing was read.
std::string track2FromBits(std::string_view bits);

}  // namespace f2f

}  // namespace nvx::reader
