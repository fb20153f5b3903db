#include "standin/SimulatedReader0003.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace standin {

namespace {

// What the reader hears.
constexpr double kHearingLevel = 0.1;          // quieter is silence
constexpr double kPowerLossSeconds = 0.02;
constexpr auto kPowerLossGap = std::chrono::milliseconds(50);  // no sound at all for this long
constexpr size_t kToneHalfCycleMin = 8;        // frames of a 2,400 Hz half-cycle (10)
constexpr size_t kToneHalfCycleMax = 12;
constexpr size_t kWakeHalfCycles = 100;
constexpr int kBitFrames = 5;
constexpr int64_t kCodeByteFrames = 80;
constexpr int64_t kCodeByteSlack = 4;
constexpr uint8_t kSync = 0xBD;
constexpr size_t kLongestFrame = 1024;
const Bytes kStartCommand{0x3D, 0x00};

// What it says.
constexpr double kAnswerGapMicros = 20000;
// The card passes the head some time after the user has begun the swipe.
constexpr double kSwipeGapMicros = 300000;
constexpr double kLineTimeConstantMicros = 10;
constexpr double kStripeBitSamples = 20;       // 2,400 bits/s at the start of the swipe
constexpr double kStripeAcceleration = 0.15;
constexpr int kStripeZeros = 25;
constexpr double kStripeSmoothing = 0.5;

uint8_t bcd(char high, char low) {
  auto digit = [](char c) { return static_cast<uint8_t>(c >= '0' && c <= '9' ? c - '0' : 0); };
  return static_cast<uint8_t>((digit(high) << 4) | digit(low));
}

void appendBcd(Bytes& out, std::string_view digits) {
  for (size_t i = 0; i + 1 < digits.size(); i += 2) out.push_back(bcd(digits[i], digits[i + 1]));
}

constexpr uint8_t crcStep(uint8_t crc, uint8_t byte) {
  crc ^= byte;
  for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint8_t>((crc & 1) ? (crc >> 1) ^ 0x8C : crc >> 1);
  return crc;
}

}  // namespace

// ---------------------------------------------------------------------------------- the card

Reader0003Card Reader0003Card::testCard() {
  Reader0003Card card;
  card.pan = "6222021234567890123";
  card.expiry = "2512";
  card.track1Length = 0;
  card.track2Length = 37;
  card.track3Length = 104;
  for (uint8_t i = 0; i < 24; ++i) card.encryptedTracks.push_back(static_cast<uint8_t>(0x5C ^ (i * 37)));
  return card;
}

std::string Reader0003Card::track2() const { return ";" + pan + "=" + expiry + "1010000000000?"; }

// ---------------------------------------------------------------------------------- the signals

uint8_t SimulatedReader0003::crc8(std::span<const uint8_t> bytes) {
  uint8_t crc = 0;
  for (uint8_t b : bytes) crc = crcStep(crc, b);
  return crc;
}

Bytes SimulatedReader0003::frame(std::span<const uint8_t> data) {
  Bytes out{0xA5, static_cast<uint8_t>(data.size() >> 8), static_cast<uint8_t>(data.size() & 0xFF)};
  out.insert(out.end(), data.begin(), data.end());
  out.push_back(crc8(std::span<const uint8_t>(out).subspan(1)));
  out.push_back(0x5A);
  return out;
}

Bytes SimulatedReader0003::ksnReply(std::span<const uint8_t> ksn) {
  Bytes data{':', 0x00};
  data.insert(data.end(), ksn.begin(), ksn.end());
  return frame(data);
}

Bytes SimulatedReader0003::ksnReplySecondLayout(std::span<const uint8_t> ksn) {
  Bytes data{';', 0x00};
  data.insert(data.end(), 12, 0x20);
  data.insert(data.end(), ksn.begin(), ksn.end());
  return frame(data);
}

Bytes SimulatedReader0003::cardMessage(const Reader0003Card& card, std::span<const uint8_t> ksn,
                                       std::span<const uint8_t> random, bool randomAllFF) {
  std::string pan = card.pan;
  if (pan.size() < 10) pan.insert(0, 10 - pan.size(), '0');
  std::string expiry = card.expiry;
  expiry.resize(4, '0');
  Bytes data{']', 0x00};
  data.insert(data.end(), ksn.begin(), ksn.end());
  if (randomAllFF) data.insert(data.end(), 8, 0xFF);
  data.insert(data.end(), random.begin(), random.end());
  data.push_back(static_cast<uint8_t>(pan.size()));
  data.push_back(10);  // 6 first and 4 last digits
  appendBcd(data, std::string_view(pan).substr(0, 6));
  appendBcd(data, std::string_view(pan).substr(pan.size() - 4));
  appendBcd(data, expiry);
  data.push_back(card.track1Length);
  data.push_back(card.track2Length);
  data.push_back(card.track3Length);
  data.insert(data.end(), card.encryptedTracks.begin(), card.encryptedTracks.end());
  return frame(data);
}

std::vector<int> SimulatedReader0003::replyHalfCells(std::span<const uint8_t> message) {
  std::vector<int> bits;
  for (uint8_t byte : message) {
    for (int bit = 7; bit >= 0; --bit) bits.push_back((byte >> bit) & 1);
    bits.push_back(std::popcount(byte) % 2);
  }
  for (int i = 0; i < kPaddingBits; ++i) bits.push_back(i % 2 == 0 ? 1 : 0);
  std::vector<int> cells;
  const int first = bits.empty() || bits[0] ? 1 : -1;
  // The sync alternates and ends opposite to the first bit's first half, with one half-cell of
  // that level in front of it: the wide half-wave that tells where the data begin.
  for (int k = 0; k < kSyncHalfCells; ++k) cells.push_back((kSyncHalfCells - k) % 2 == 0 ? first : -first);
  cells.push_back(first);
  for (int bit : bits) {
    const int level = bit ? 1 : -1;
    cells.push_back(level);
    cells.push_back(-level);
  }
  return cells;
}

void SimulatedReader0003::renderReply(std::span<const uint8_t> message, double rate, double amplitude,
                                      double clockError, bool invert, std::vector<float>& out) {
  const double cell = kHalfCellMicros * rate / 1e6 / (1 + clockError);
  const size_t base = out.size();
  const float sign = invert ? -1.0f : 1.0f;
  double t = 0;
  for (int level : replyHalfCells(message)) {
    t += cell;
    const size_t end = base + static_cast<size_t>(std::llround(t));
    while (out.size() < end) out.push_back(sign * static_cast<float>(amplitude) * static_cast<float>(level));
  }
}

std::string SimulatedReader0003::stripeBits(std::string_view track) {
  std::string bits(kStripeZeros, '0');
  int lrc = 0;
  auto put = [&bits](int value) {
    int ones = 0;
    for (int k = 0; k < 4; ++k) {
      const int b = (value >> k) & 1;
      ones += b;
      bits += b ? '1' : '0';
    }
    bits += ones % 2 == 0 ? '1' : '0';
  };
  for (char c : track) {
    const int value = (c - 0x30) & 0x0F;
    lrc ^= value;
    put(value);
  }
  put(lrc);
  bits.append(kStripeZeros, '0');
  return bits;
}

void SimulatedReader0003::renderStripe(std::string_view track, bool backwards, double bitSamples,
                                       double acceleration, double amplitude, std::vector<float>& out) {
  std::string bits = stripeBits(track);
  if (backwards) std::reverse(bits.begin(), bits.end());
  std::vector<double> reversals;
  double t = bitSamples;  // a moment of no flux change first
  const double n = static_cast<double>(bits.size());
  for (size_t i = 0; i < bits.size(); ++i) {
    const double period = bitSamples / (1 + acceleration * static_cast<double>(i) / n);
    reversals.push_back(t);
    if (bits[i] == '1') reversals.push_back(t + period / 2);
    t += period;
  }
  reversals.push_back(t);
  const size_t total = static_cast<size_t>(t + 2 * bitSamples);
  double level = 0, smooth = 0, sign = 1;
  size_t next = 0;
  for (size_t i = 0; i < total; ++i) {
    while (next < reversals.size() && reversals[next] <= static_cast<double>(i)) {
      sign = -sign;
      level = next + 1 == reversals.size() ? 0 : sign * amplitude;
      ++next;
    }
    smooth += kStripeSmoothing * (level - smooth);
    out.push_back(static_cast<float>(smooth));
  }
}

// ---------------------------------------------------------------------------------- hearing

SimulatedReader0003::SimulatedReader0003() : SimulatedReader0003(Config{}) {}

SimulatedReader0003::SimulatedReader0003(Config config) : config_(std::move(config)), noise_(config_.seed) {}

void SimulatedReader0003::hear(std::span<const float> left, std::span<const float> right, double rate) {
  std::lock_guard<std::mutex> lock(mutex_);
  const platform::TimePoint now = platform::clock().now();
  if (lastHeard_ && now - *lastHeard_ > kPowerLossGap) powerLost();
  lastHeard_ = now;
  rate_ = rate;
  for (float x : config_.wiredReversed ? right : left) sample(x, rate);
}

void SimulatedReader0003::powerLost() {
  powered_ = false;
  awake_ = false;
  armed_ = false;
  armWhenSaid_ = false;
  inByte_ = false;
  toneRun_ = 0;
  codes_.clear();
}

void SimulatedReader0003::sample(float x, double rate) {
  ++clock_;
  if (std::fabs(x) > kHearingLevel) {
    silentRun_ = 0;
    powered_ = true;
  } else if (++silentRun_ > static_cast<size_t>(kPowerLossSeconds * rate) && powered_) {
    powerLost();
  }
  const bool high = x > 0;
  // The wake-up tone: half-cycles of about 10 frames.
  if (high == high_) {
    ++levelRun_;
  } else {
    toneRun_ = levelRun_ >= kToneHalfCycleMin && levelRun_ <= kToneHalfCycleMax ? toneRun_ + 1 : 0;
    if (toneRun_ == kWakeHalfCycles && powered_) {
      awake_ = true;
      ++wakeUps_;
    }
    levelRun_ = 1;
  }
  // Bytes: a falling edge starts one; each bit is read in the middle of its 5 frames.
  if (!inByte_ && high_ && !high) {
    inByte_ = true;
    bytePos_ = 0;
    byteStart_ = clock_;
  }
  if (inByte_) {
    if (bytePos_ >= 2 && (bytePos_ - 2) % kBitFrames == 0) {
      const int k = (bytePos_ - 2) / kBitFrames;
      byteBits_[static_cast<size_t>(k)] = high;
      if (k == 10) {
        inByte_ = false;
        uint8_t byte = 0;
        for (int b = 0; b < 8; ++b) byte = static_cast<uint8_t>(byte | (byteBits_[static_cast<size_t>(b + 1)] << b));
        const bool parity = byteBits_[9] == (std::popcount(byte) % 2 == 1);
        if (!byteBits_[0] && parity && byteBits_[10]) uartByte(byte, byteStart_);
        else codes_.clear();
      }
    }
    ++bytePos_;
  }
  high_ = high;
}

void SimulatedReader0003::uartByte(uint8_t byte, int64_t start) {
  const int64_t gap = start - lastCodeStart_;
  if (!codes_.empty() && (gap < kCodeByteFrames - kCodeByteSlack || gap > kCodeByteFrames + kCodeByteSlack)) {
    codes_.clear();
  }
  lastCodeStart_ = start;
  if (codes_.size() < 3) {
    if (byte == kSync) codes_.push_back(byte);
    else codes_.clear();
    return;
  }
  codes_.push_back(byte);
  if ((codes_.size() - 3) % 2 != 0) return;
  Bytes frameBytes;
  for (size_t i = 3; i + 1 < codes_.size(); i += 2) {
    uint8_t value = 0;
    for (size_t half = 0; half < 2; ++half) {
      const uint8_t code = codes_[i + half];
      for (int pair = 3; pair >= 0; --pair) {
        const int bits = (code >> (2 * pair)) & 3;
        if (bits != 0b10 && bits != 0b01) {
          codes_.clear();
          return;
        }
        value = static_cast<uint8_t>((value << 1) | (bits == 0b10 ? 1 : 0));
      }
    }
    frameBytes.push_back(value);
  }
  if (frameBytes[0] != 0xA5) {
    codes_.clear();
    return;
  }
  if (frameBytes.size() < 3) return;
  const size_t length = (static_cast<size_t>(frameBytes[1]) << 8) | frameBytes[2];
  if (length > kLongestFrame) {
    codes_.clear();
    return;
  }
  if (frameBytes.size() < length + 5) return;
  codes_.clear();
  const std::span<const uint8_t> all(frameBytes);
  if (crc8(all.subspan(1, length + 2)) != frameBytes[length + 3] || frameBytes[length + 4] != 0x5A) return;
  command(Bytes(frameBytes.begin() + 3, frameBytes.begin() + 3 + static_cast<std::ptrdiff_t>(length)), rate_);
}

void SimulatedReader0003::command(const Bytes& data, double rate) {
  commands_.push_back(data);
  if (data != kStartCommand) return;
  ++startCommands_;
  // A new session: a card is taken only after this one's reply.
  armed_ = false;
  if (!awake_ || silent_ || config_.raw) return;
  if (ignoreStarts_ > 0) {
    --ignoreStarts_;
    return;
  }
  sayLocked(ksnReply_ ? *ksnReply_ : ksnReply(config_.ksn), rate, kAnswerGapMicros);
  // Ready for a card once the reply is out.
  armWhenSaid_ = true;
}

// ---------------------------------------------------------------------------------- speaking

void SimulatedReader0003::sayLocked(const Bytes& message, double rate, double gapMicros) {
  out_.insert(out_.end(), static_cast<size_t>(gapMicros * rate / 1e6), 0.0f);
  std::vector<float> signal;
  renderReply(message, rate, 1.0, config_.clockError, false, signal);
  out_.insert(out_.end(), signal.begin(), signal.end());
}



void SimulatedReader0003::speak(std::span<float> mic, double rate) {
  std::lock_guard<std::mutex> lock(mutex_);
  const double alpha = 1 - std::exp(-1e6 / (rate * kLineTimeConstantMicros));
  const double sign = config_.invertReplies ? -1.0 : 1.0;
  for (float& m : mic) {
    double v = 0;
    if (!out_.empty()) {
      v = out_.front();
      out_.pop_front();
    }
    lowpass_ += alpha * (v - lowpass_);
    double x = sign * config_.amplitude * lowpass_;
    if (config_.noiseRms > 0) x += config_.noiseRms * noise_.gaussian();
    m = static_cast<float>(std::clamp(x, -1.0, 1.0));
  }
  if (out_.empty() && armWhenSaid_) {
    armWhenSaid_ = false;
    armed_ = powered_;
  }
}

// ---------------------------------------------------------------------------------- the user and the test

bool SimulatedReader0003::swipe(const Reader0003Card& card, bool backwards) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (config_.raw) {
    out_.insert(out_.end(), static_cast<size_t>(kSwipeGapMicros * rate_ / 1e6), 0.0f);
    std::vector<float> stripe;
    renderStripe(card.track2(), backwards, kStripeBitSamples * rate_ / kRate, kStripeAcceleration, 1.0, stripe);
    out_.insert(out_.end(), stripe.begin(), stripe.end());
    return true;
  }
  if (!armed_ || silent_) return false;
  armed_ = false;
  Bytes message;
  if (swipeMessage_) {
    message = std::move(*swipeMessage_);
    swipeMessage_.reset();
  } else {
    for (auto& b : lastRandom_) b = static_cast<uint8_t>(noise_.next() >> 56);
    message = cardMessage(card, config_.ksn, lastRandom_, config_.randomAllFF);
  }
  sayLocked(message, rate_, kSwipeGapMicros);
  return true;
}

bool SimulatedReader0003::swipeWithMessage(Bytes message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!armed_) return false;
    swipeMessage_ = std::move(message);
  }
  return swipe();
}

void SimulatedReader0003::say(Bytes message) {
  std::lock_guard<std::mutex> lock(mutex_);
  sayLocked(message, rate_, 0);
}

void SimulatedReader0003::ignoreStartCommands(int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  ignoreStarts_ = count;
}

void SimulatedReader0003::setKsnReply(std::optional<Bytes> message) {
  std::lock_guard<std::mutex> lock(mutex_);
  ksnReply_ = std::move(message);
}

void SimulatedReader0003::setSilent(bool silent) {
  std::lock_guard<std::mutex> lock(mutex_);
  silent_ = silent;
}

void SimulatedReader0003::setAmplitude(double amplitude) {
  std::lock_guard<std::mutex> lock(mutex_);
  config_.amplitude = amplitude;
}

void SimulatedReader0003::setNoise(double rms) {
  std::lock_guard<std::mutex> lock(mutex_);
  config_.noiseRms = rms;
}

void SimulatedReader0003::setInvertReplies(bool invert) {
  std::lock_guard<std::mutex> lock(mutex_);
  config_.invertReplies = invert;
}

bool SimulatedReader0003::isArmed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return armed_;
}

bool SimulatedReader0003::isAwake() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return awake_;
}

bool SimulatedReader0003::isPowered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return powered_;
}

int SimulatedReader0003::startCommandsHeard() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return startCommands_;
}

int SimulatedReader0003::wakeUpsHeard() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return wakeUps_;
}

std::vector<Bytes> SimulatedReader0003::commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

std::array<uint8_t, 8> SimulatedReader0003::lastRandom() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastRandom_;
}

}  // namespace standin
