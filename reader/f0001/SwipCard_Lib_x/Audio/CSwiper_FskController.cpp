#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_FskController.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperBandPass.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_WavBuffer.h"

namespace nvx::reader {

namespace {

// Decoder constants, in samples at 44,100 Hz.
constexpr size_t kDefaultStart = 100;
constexpr size_t kWindowMargin = 100;        // a window start other than the default beyond this
constexpr size_t kNoiseFrom = 700;
constexpr size_t kNoiseValues = 440;
constexpr size_t kSearchFrom = 1141;
constexpr double kStartOverNoise = 40.0;
constexpr double kStartFloor = 3125000.0;
constexpr size_t kSkipAfterStart = 704;
constexpr size_t kClearedBeforeSkip = 5;     // x[i + 699 .. i + 703]
constexpr size_t kEdgeBlock = 5;             // the next sample examined after an edge
constexpr int kSyncEdge = 11;
constexpr int kLongestGap = 88;
constexpr double kSignalEnds = 27.5;         // 1.25 cells
constexpr double kShortGap = 16.5;           // 0.75 cell
constexpr double kOneAndAHalf = 38.5;        // 1.75 cells
constexpr double kTwoAndAHalf = 55.0;        // 2.5 cells

constexpr int16_t kHigh = 32767;
constexpr int16_t kLow = -32768;
constexpr int8_t kRising = 1;
constexpr int8_t kFalling = -1;
constexpr uint8_t kLabelA = 1;
constexpr uint8_t kLabelB = 2;

constexpr std::array<uint8_t, 256> makeCrcTable() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint8_t crc = static_cast<uint8_t>(i);
    for (int b = 0; b < 8; ++b) crc = static_cast<uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
    table[static_cast<size_t>(i)] = crc;
  }
  return table;
}
constexpr std::array<uint8_t, 256> kCrcTable = makeCrcTable();

std::string hex(const uint8_t* bytes, size_t count) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

// The two digits of a BCD byte, each nibble as the character 0x30 + nibble.
std::string bcd(uint8_t byte) {
  return {static_cast<char>(0x30 + (byte >> 4)), static_cast<char>(0x30 + (byte & 15))};
}

// The distance from edge j to the next edge, searched from j + 5 and capped at 88 (j + 88 < n).
int nextGap(const std::vector<int8_t>& edge, size_t j) {
  for (int d = static_cast<int>(kEdgeBlock); d < kLongestGap; ++d) {
    if (edge[j + static_cast<size_t>(d)] != 0) return d;
  }
  return kLongestGap;
}

// Where the packet bytes sit in a swipe packet of each type.
struct Layout {
  size_t ksn, ksnLength, tracks, tracksLength;
};
Layout layoutOf(uint8_t type) {
  switch (type) {
    case 0x31: return {35, 10, 47, 128};
    case 0x34: return {9, 10, 21, 152};
    case 0x39: return {17, 16, 35, 152};
    case 0x40: return {14, 10, 26, 152};
    default: return {35, 10, 47, 120};
  }
}

}  // namespace

uint8_t CSwiper_FskController::crc8(std::span<const uint8_t> bytes) {
  uint8_t crc = 0;
  for (uint8_t b : bytes) crc = kCrcTable[crc ^ b];
  return crc;
}

int CSwiper_FskController::decode(std::span<const int16_t> samples, uint8_t* out) {
  // 1. At most the last 70,559 samples, on a copy.
  if (samples.size() >= kMaxInput) samples = samples.subspan(samples.size() - (kMaxInput - 1));
  std::vector<int32_t> x(samples.begin(), samples.end());
  const size_t n = x.size();

  // 2. Where the signal starts: the first sample whose 2 kHz power stands well above the noise
  // at the window's start.
  size_t s0 = n > kWindow + kWindowMargin ? n - kWindow : kDefaultStart;
  if (s0 + 4 < n) {
    std::vector<double> p(n, 0.0);
    CSwiperBandPass filter;
    filter.seedInputs(x[s0 + 3], x[s0 + 2], x[s0 + 1], x[s0]);
    for (size_t k = s0 + 4; k < n; ++k) {
      const double y = filter.step(x[k]);
      p[k] = y * y;
    }
    double noise = 0;
    for (size_t k = s0 + kNoiseFrom; k < std::min(n, s0 + kNoiseFrom + kNoiseValues); ++k) noise += p[k];
    noise /= static_cast<double>(kNoiseValues);
    // A reply starts with a long 2 kHz preamble, so its power stays up over the stretch skipped
    // after the start. The noise is measured over a short stretch of a narrow band, whose power
    // swells and fades slowly: a swell of noise can pass the threshold for a moment, but not
    // keep above it on average for that long.
    std::vector<double> sum(n + 1, 0.0);
    for (size_t k = 0; k < n; ++k) sum[k + 1] = sum[k] + p[k];
    auto steady = [&](size_t i) {
      const size_t end = std::min(n, i + kSkipAfterStart);
      return sum[end] - sum[i] > kStartOverNoise * noise * static_cast<double>(end - i);
    };
    for (size_t i = s0 + kSearchFrom; i < n; ++i) {
      if (p[i] > kStartOverNoise * noise && p[i] > kStartFloor && steady(i)) {
        for (size_t k = i + kSkipAfterStart - kClearedBeforeSkip; k < std::min(n, i + kSkipAfterStart); ++k) x[k] = 0;
        s0 = i + kSkipAfterStart;
        break;
      }
    }
  }
  if (s0 >= n) return validate(out, 0);

  // 3. Binarise.
  for (size_t i = s0; i < n; ++i) x[i] = x[i] >= 0 ? kHigh : kLow;

  // 4. Glitches of one sample, then of two.
  for (size_t i = s0 + 1; i + 1 < n; ++i) {
    if (x[i - 1] == x[i + 1] && x[i] != x[i - 1]) x[i] = x[i - 1];
  }
  for (size_t i = s0 + 1; i + 2 < n; ++i) {
    if (x[i] == x[i + 1] && x[i - 1] == x[i + 2] && x[i] != x[i - 1]) x[i] = x[i + 1] = x[i - 1];
  }

  // 5. Edges; an edge hides the next 4 samples.
  std::vector<int8_t> edge(n, 0);
  for (size_t i = s0; i < n;) {
    if (x[i] != x[i - 1]) {
      edge[i] = x[i] > x[i - 1] ? kRising : kFalling;
      i += kEdgeBlock;
    } else {
      ++i;
    }
  }

  // 6. The sync edge.
  size_t sync = 0;
  {
    int rising = 0;
    bool haveFirst = false;
    size_t first = 0;
    for (size_t i = s0; i < n; ++i) {
      if (edge[i] != kRising) continue;
      if (!haveFirst) {
        haveFirst = true;
        first = i;
      }
      if (++rising == kSyncEdge) {
        sync = i;
        break;
      }
    }
    if (rising < kSyncEdge) sync = haveFirst ? first : 0;
  }

  // 7. Cell labels from the gaps before (g1) and after (g2) each edge.
  std::vector<uint8_t> label(n, 0);
  {
    label[sync] = kLabelA;
    uint8_t c = kLabelA;
    auto other = [&c] { return c == kLabelA ? kLabelB : kLabelA; };
    size_t prev = sync;
    size_t j = sync + 1;
    while (j + kLongestGap < n) {
      if (edge[j] == 0) {
        ++j;
        continue;
      }
      const int g1 = static_cast<int>(j - prev);
      const int g2 = nextGap(edge, j);
      const double sum = g1 + g2;
      // The signal ends at this edge: its last labels, by the gap before it (none from `longest` on).
      auto lastLabels = [&](double longest) {
        if (g1 < kShortGap) {
          label[j] = other();
          label[j + static_cast<size_t>(g1)] = c;
        } else if (g1 < longest) {
          label[prev + static_cast<size_t>(g1 / 2)] = other();
          label[j] = c;
        }
      };
      if (g2 >= kSignalEnds) {
        lastLabels(std::numeric_limits<double>::infinity());
        break;
      }
      if (sum < kSignalEnds) {
        label[j] = other();
        label[j + static_cast<size_t>(g2)] = c;
        prev = j + static_cast<size_t>(g2);
        j = prev + 1;
      } else if (sum < kOneAndAHalf) {
        if (g1 < g2) {
          c = other();
          label[j] = c;
        } else {
          label[prev + static_cast<size_t>(g1 / 2)] = other();
          label[j] = c;
        }
        prev = j;
        j = j + 1;
      } else if (sum < kTwoAndAHalf) {
        label[prev + static_cast<size_t>(g1 / 2)] = other();
        label[j] = c;
        prev = j;
        j = j + static_cast<size_t>(g2);
      } else {
        lastLabels(kSignalEnds);
        break;
      }
    }
  }

  // 8. The start bit: the first long gap after the sync; its centre's direction means 1.
  size_t k = 0;
  int8_t oneDirection = kRising;
  uint8_t centreLabel = 0;
  {
    size_t prev = sync;
    size_t j = sync + 1;
    while (j + kLongestGap < n) {
      if (edge[j] == 0) {
        ++j;
        continue;
      }
      const int g2 = nextGap(edge, j);
      if (static_cast<double>(j - prev) + g2 >= kSignalEnds) {
        k = j + static_cast<size_t>(g2);
        oneDirection = edge[k] == kRising ? kRising : kFalling;
        centreLabel = label[k];
        break;
      }
      prev = j;
      j += static_cast<size_t>(g2);
    }
  }

  // 9, 10. A bit at every edge on a cell centre, packed most significant first.
  int bits = 0;
  for (size_t i = k + 1; i < n && bits < kMaxBits; ++i) {
    if (label[i] != centreLabel || edge[i] == 0) continue;
    if (edge[i] == oneDirection) out[bits / 8] |= static_cast<uint8_t>(0x80 >> (bits % 8));
    ++bits;
  }
  const int L = (bits + 7) / 8;

  // 11.
  return validate(out, L);
}

int CSwiper_FskController::validate(uint8_t* packet, int L) {
  const uint8_t c = packet[0];
  // A swipe packet: its CRC over the bytes before it, and at most 5 bytes of trailing noise.
  auto swipe = [&](int length) -> int {
    const int crcAt = length - 1;
    if (crc8(std::span<const uint8_t>(packet, static_cast<size_t>(crcAt))) != packet[crcAt]) {
      packet[0] = kCrcError;
      return 1;
    }
    if (L >= length + 6) {
      packet[0] = kLengthOutOfRange;
      return 1;
    }
    return L;
  };
  if (L >= 168 && (c == 0x08 || c == 0x06)) return swipe(168);
  if (L >= 176 && c == 0x31) return swipe(176);
  if (L >= 174 && c == 0x34) return swipe(174);
  if (L >= 168 && (c == 0x38 || c == 0x36)) return swipe(168);
  if (L >= 188 && c == 0x39) return swipe(188);
  if (L >= 179 && c == 0x40) return swipe(179);
  if (c == kAcknowledge || c == kKsnReply) {
    const int n = packet[1];
    if (crc8(std::span<const uint8_t>(packet, static_cast<size_t>(n) + 2)) != packet[n + 2]) {
      packet[0] = kCrcError;
      return 1;
    }
    if (L > n + 8) {
      packet[0] = kLengthOutOfRange;
      return 1;
    }
    return n + 3;
  }
  if (L < 11 && (c == kReaderError || c == kReaderTimeout || c == kReaderReportFA)) return 1;
  packet[0] = kUnknownType;
  return 1;
}

int CSwiper_FskController::StartDecode() {
  status_ = kDecoding;
  iResultLen_ = 0;
  ucResult_.fill(0);
  if (wavBuffer_) {
    std::vector<int16_t> samples = wavBuffer_->decodeSamples();
    iResultLen_ = decode(samples, ucResult_.data());
  }
  status_ = kIdle;
  return iResultLen_;
}

void CSwiper_FskController::ClearResult() { ucResult_.fill(0); }

void CSwiper_FskController::setResult(std::span<const uint8_t> bytes, int resultLength) {
  ucResult_.fill(0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), ucResult_.size()), ucResult_.begin());
  iResultLen_ = resultLength;
}

// ---------------------------------------------------------------------------------- the fields

std::string CSwiper_FskController::GetFormatID() const {
  switch (type()) {
    case 0x02: return "2";
    case 0x06:
    case 0x36: return "36";
    case 0x08:
    case 0x38: return "38";
    case 0x31: return "31";
    case 0x34: return "34";
    case 0x39: return "39";
    case 0x40: return "40";
    default: return "00";
  }
}

std::string CSwiper_FskController::GetKSN() const {
  if (type() == kKsnReply) {
    // The KSN text holds 32 characters: a reply with more data bytes gives its first 16.
    const size_t n = std::min<size_t>(ucResult_[1], 16);
    return hex(&ucResult_[2], n);
  }
  const Layout layout = layoutOf(type());
  return hex(&ucResult_[layout.ksn], layout.ksnLength);
}

std::string CSwiper_FskController::GetRandomNumber() const {
  return type() == 0x39 ? hex(&ucResult_[9], 8) : std::string();
}

std::string CSwiper_FskController::GetEncTrack1() const {
  const Layout layout = layoutOf(type());
  return hex(&ucResult_[layout.tracks], layout.tracksLength);
}

int CSwiper_FskController::GetTrack1Length() const {
  const uint8_t t = type();
  return t == 0x34 || t == 0x39 || t == 0x40 ? 0 : ucResult_[45];
}

int CSwiper_FskController::GetTrack2Length() const {
  switch (type()) {
    case 0x34: return ucResult_[19];
    case 0x39: return ucResult_[33];
    case 0x40: return ucResult_[24];
    default: return ucResult_[46];
  }
}

int CSwiper_FskController::GetTrack3Length() const {
  switch (type()) {
    case 0x34: return ucResult_[20];
    case 0x39: return ucResult_[34];
    case 0x40: return ucResult_[25];
    default: return 0;
  }
}

std::string CSwiper_FskController::GetLast4DigitPan() const {
  if (type() == 0x40) {
    const size_t length = std::min<size_t>(ucResult_[1], 20);
    std::string digits;
    for (size_t i = 0; i < 10; ++i) digits += bcd(ucResult_[2 + i]);
    return digits.substr(0, length);
  }
  const size_t length = std::max<size_t>(ucResult_[1], 12);
  std::string pan(length, 'X');
  const std::string first = bcd(ucResult_[2]) + bcd(ucResult_[3]) + bcd(ucResult_[4]);
  const std::string last = bcd(ucResult_[5]) + bcd(ucResult_[6]);
  pan.replace(0, 6, first);
  pan.replace(length - 4, 4, last);
  return pan;
}

std::string CSwiper_FskController::GetExpiryDate() const {
  if (type() == 0x40) return bcd(ucResult_[13]) + bcd(ucResult_[12]);
  return bcd(ucResult_[8]) + bcd(ucResult_[7]);
}

std::string CSwiper_FskController::GetName() const {
  const uint8_t t = type();
  if (t == 0x34 || t == 0x39 || t == 0x40) return {};
  std::string name(26, ' ');
  for (size_t i = 0; i < 26; ++i) {
    const uint8_t b = ucResult_[9 + i];
    if (b >= 0x20 && b <= 0x7F) name[i] = static_cast<char>(b);
  }
  return name;
}

}  // namespace nvx::reader
