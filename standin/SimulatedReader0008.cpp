#include "standin/SimulatedReader0008.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/Clock.h"

namespace standin {

namespace {

constexpr size_t kCellSamples = 18;
constexpr double kHalfLimit = 13.5;           // shorter intervals are half cells
constexpr double kFullLimit = 27.0;           // longer ones are not cells at all
constexpr size_t kEndOfBurst = 40;            // quiet samples that end a command
constexpr size_t kMaxIntervals = 20000;
constexpr size_t kCommandBytes = 6;
constexpr float kPowerThreshold = 0.3f;
constexpr platform::Duration kPowerGap = std::chrono::milliseconds(100);
constexpr uint8_t kStartOfCommand = 0x8D;
constexpr uint8_t kStartOfReply = 0x8F;

}  // namespace

Reader0008Card Reader0008Card::testCard() {
  Reader0008Card card;
  card.formatId = {0x9A, 0x01};
  card.pan = "6222021234567890123";
  for (uint8_t i = 0; i < 48; ++i) card.encryptedTracks.push_back(static_cast<uint8_t>(0x5A ^ (i * 37)));
  card.track1Length = 0;
  card.track2Length = 37;
  card.track3Length = 104;
  card.expiry = "2512";
  card.holderName = "ZHANG/SAN";
  return card;
}

SimulatedReader0008::SimulatedReader0008() : SimulatedReader0008(Config{}) {}

SimulatedReader0008::SimulatedReader0008(Config config) : config_(std::move(config)), noise_(config_.seed) {}

// ---------------------------------------------------------------------------------- the signals

Bytes SimulatedReader0008::frame(uint8_t code, std::span<const uint8_t> data) {
  const size_t length = data.size() + 1;
  Bytes out{kStartOfReply, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length & 0xFF), code};
  out.insert(out.end(), data.begin(), data.end());
  uint8_t check = 0;
  for (uint8_t b : out) check ^= b;
  out.push_back(check);
  return out;
}

Bytes SimulatedReader0008::cardPayload(const Reader0008Card& card, std::span<const uint8_t> ksn,
                                       std::span<const uint8_t> random) {
  Bytes out{card.status, static_cast<uint8_t>(card.formatId.size())};
  out.insert(out.end(), card.formatId.begin(), card.formatId.end());
  out.push_back(static_cast<uint8_t>(ksn.size()));
  out.insert(out.end(), ksn.begin(), ksn.end());
  for (uint8_t length : {card.track1Length, card.track2Length, card.track3Length}) {
    out.push_back(0);
    out.push_back(length);
  }
  out.push_back(static_cast<uint8_t>(card.pan.size()));
  out.insert(out.end(), card.pan.begin(), card.pan.end());
  out.push_back(static_cast<uint8_t>(card.encryptedTracks.size()));
  out.insert(out.end(), card.encryptedTracks.begin(), card.encryptedTracks.end());
  out.insert(out.end(), random.begin(), random.end());
  std::string expiry = card.expiry;
  expiry.resize(4, '0');
  out.insert(out.end(), expiry.begin(), expiry.end());
  out.push_back(static_cast<uint8_t>(card.holderName.size()));
  out.insert(out.end(), card.holderName.begin(), card.holderName.end());
  return out;
}

std::vector<double> SimulatedReader0008::replyIntervals(std::span<const uint8_t> bytes, int leadIn) {
  std::vector<double> out(static_cast<size_t>(std::max(leadIn, 0)), 2 * kHalfCell);
  for (uint8_t byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      if ((byte >> bit) & 1) {
        out.push_back(kHalfCell);
        out.push_back(kHalfCell);
      } else {
        out.push_back(2 * kHalfCell);
      }
    }
  }
  out.push_back(kHalfCell);  // closes the last interval of the frame
  return out;
}

void SimulatedReader0008::render(std::span<const double> intervals, double rate, double amplitude, double clockError,
                                 bool invert, std::vector<float>& out) {
  const size_t base = out.size();
  const double scale = rate / kRate / (1 + clockError);
  float level = static_cast<float>(invert ? -amplitude : amplitude);
  double t = 0;
  for (double d : intervals) {
    t += d * scale;
    const size_t end = base + static_cast<size_t>(std::llround(t));
    while (out.size() < end) out.push_back(level);
    level = -level;
  }
}

// ---------------------------------------------------------------------------------- hearing

void SimulatedReader0008::hear(std::span<const float> left, std::span<const float> right, double) {
  std::lock_guard<std::mutex> lock(mutex_);
  float power = 0;
  for (float x : right) power = std::max(power, std::fabs(x));
  // The phone stopped playing for a while (nothing was heard at all): the power was gone too.
  const platform::TimePoint now = platform::clock().now();
  const bool gap = lastHeard_ && now - *lastHeard_ > kPowerGap;
  lastHeard_ = now;
  const bool powered = power > kPowerThreshold && !gap;
  if (!powered) {
    if (powered_) {
      // Power gone: whatever it was doing is forgotten.
      armed_ = false;
      out_.clear();
      intervals_.clear();
      level_ = 0;
      run_ = 0;
      quiet_ = 0;
    }
    powered_ = false;
    return;
  }
  powered_ = true;
  for (float x : left) sampleHeard(x);
}

void SimulatedReader0008::sampleHeard(float x) {
  const double th = config_.hearingThreshold;
  const int s = x > th ? 1 : (x < -th ? -1 : 0);
  if (s == 0) {
    if (++quiet_ == kEndOfBurst && level_ != 0) {
      intervals_.push_back(run_);
      burstEnded();
      level_ = 0;
      run_ = 0;
    }
    return;
  }
  quiet_ = 0;
  if (s == level_) {
    ++run_;
    return;
  }
  if (level_ != 0) intervals_.push_back(run_);
  if (intervals_.size() > kMaxIntervals) intervals_.clear();
  level_ = s;
  run_ = 1;
}

void SimulatedReader0008::burstEnded() {
  std::vector<size_t> heard;
  heard.swap(intervals_);
  // Cells: a full interval is a zero, two half intervals a one.
  std::vector<int> bits;
  for (size_t i = 0; i < heard.size(); ++i) {
    const double d = static_cast<double>(heard[i]);
    if (d >= kHalfLimit && d < kFullLimit) {
      bits.push_back(0);
    } else if (d < kHalfLimit && i + 1 < heard.size() && static_cast<double>(heard[i + 1]) < kHalfLimit) {
      bits.push_back(1);
      ++i;
    } else {
      bits.push_back(-1);  // not a cell
    }
  }
  auto first = std::find(bits.begin(), bits.end(), 1);
  if (first == bits.end()) return;
  const size_t at = static_cast<size_t>(first - bits.begin());
  if (bits.size() - at < kCommandBytes * 8) {
    ++badCommands_;
    return;
  }
  Bytes frame(kCommandBytes, 0);
  for (size_t i = 0; i < kCommandBytes * 8; ++i) {
    const int bit = bits[at + i];
    if (bit < 0) {
      ++badCommands_;
      return;
    }
    frame[i / 8] = static_cast<uint8_t>(frame[i / 8] | (bit << (i % 8)));
  }
  uint8_t check = 0;
  for (uint8_t b : frame) check ^= b;
  if (frame[0] != kStartOfCommand || frame[1] != 0x00 || frame[2] != 0x02 || frame[4] != 0x00 || check != 0) {
    ++badCommands_;
    return;
  }
  command(frame[3]);
}

void SimulatedReader0008::command(uint8_t code) {
  commands_.push_back(code);
  switch (code) {
    case 0x21:
      say(frame(0x21, config_.ksn));
      break;
    case 0x22:
      armed_ = true;
      say(frame(0x22, Bytes{0x00}));
      break;
    case 0x23:
    case 0x25:
      armed_ = false;
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------- speaking

void SimulatedReader0008::say(Bytes bytes) {
  if (silent_) return;
  if (nextFrame_) bytes = std::move(*std::exchange(nextFrame_, std::nullopt));
  if (corruptReplies_ > 0 && !bytes.empty()) {
    --corruptReplies_;
    bytes.back() ^= 0x5A;
  }
  if (shortenNext_ && bytes.size() >= 3) {
    const size_t claimed = ((static_cast<size_t>(bytes[1]) << 8) | bytes[2]) + 2;
    bytes[1] = static_cast<uint8_t>(claimed >> 8);
    bytes[2] = static_cast<uint8_t>(claimed & 0xFF);
  }
  shortenNext_ = false;
  said_.push_back(bytes);
  std::vector<double> intervals = replyIntervals(bytes);
  if (cutNext_) {
    cutNext_ = false;
    intervals.resize(kLeadInSymbols + (intervals.size() - kLeadInSymbols) / 2);
  }
  out_.insert(out_.end(), static_cast<size_t>(config_.answerGapSeconds * kRate), 0.0f);
  std::vector<float> signal;
  render(intervals, kRate, 1.0, 0.0, false, signal);
  out_.insert(out_.end(), signal.begin(), signal.end());
}



void SimulatedReader0008::speak(std::span<float> mic, double) {
  std::lock_guard<std::mutex> lock(mutex_);
  const double sign = config_.invertPolarity ? -1.0 : 1.0;
  for (float& m : mic) {
    double v = 0;
    if (!out_.empty()) {
      v = out_.front();
      out_.pop_front();
    }
    double x = sign * config_.amplitude * v;
    double rms = config_.noiseRms;
    if (noiseLeft_ > 0) {
      noiseLeft_ -= 1;
      rms += extraNoise_;
    }
    if (rms > 0) x += rms * noise_.gaussian();
    m = static_cast<float>(std::clamp(x, -1.0, 1.0));
  }
}

// ---------------------------------------------------------------------------------- the user and the test

bool SimulatedReader0008::swipe(const Reader0008Card& card) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!armed_ || !powered_) return false;
  armed_ = false;
  for (auto& b : lastRandom_) b = static_cast<uint8_t>(noise_.next() >> 56);
  say(frame(0x23, cardPayload(card, config_.ksn, lastRandom_)));
  return true;
}

bool SimulatedReader0008::isArmed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return armed_;
}

bool SimulatedReader0008::isPowered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return powered_;
}

void SimulatedReader0008::setKsn(Bytes ksn) {
  std::lock_guard<std::mutex> lock(mutex_);
  config_.ksn = std::move(ksn);
}

void SimulatedReader0008::setAmplitude(double amplitude) {
  std::lock_guard<std::mutex> lock(mutex_);
  config_.amplitude = amplitude;
}

void SimulatedReader0008::setNoise(double rms) {
  std::lock_guard<std::mutex> lock(mutex_);
  config_.noiseRms = rms;
}

void SimulatedReader0008::setInvertPolarity(bool invert) {
  std::lock_guard<std::mutex> lock(mutex_);
  config_.invertPolarity = invert;
}

void SimulatedReader0008::setSilent(bool silent) {
  std::lock_guard<std::mutex> lock(mutex_);
  silent_ = silent;
}

void SimulatedReader0008::setNextFrame(Bytes frame) {
  std::lock_guard<std::mutex> lock(mutex_);
  nextFrame_ = std::move(frame);
}

void SimulatedReader0008::corruptReplies(int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  corruptReplies_ = count;
}

void SimulatedReader0008::shortenNextReply() {
  std::lock_guard<std::mutex> lock(mutex_);
  shortenNext_ = true;
}

void SimulatedReader0008::cutNextReply() {
  std::lock_guard<std::mutex> lock(mutex_);
  cutNext_ = true;
}

void SimulatedReader0008::sayNoise(double seconds, double rms) {
  std::lock_guard<std::mutex> lock(mutex_);
  noiseLeft_ = seconds * kRate;
  extraNoise_ = rms;
}

std::vector<uint8_t> SimulatedReader0008::commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

int SimulatedReader0008::badCommands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return badCommands_;
}

std::vector<Bytes> SimulatedReader0008::said() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return said_;
}

std::array<uint8_t, 8> SimulatedReader0008::lastRandom() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastRandom_;
}

}  // namespace standin
