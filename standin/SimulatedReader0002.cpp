#include "standin/SimulatedReader0002.h"

#include <algorithm>
#include <cmath>

namespace standin {

namespace {

// What the reader hears, in microseconds of its own clock, and the tolerances it reads them with.
constexpr double kPreambleMicros = 250;
constexpr double kSyncMicros = 700;
constexpr double kGuardMicros = 2000;
constexpr double kWakeMicros = 500;
constexpr size_t kWakeRun = 100;
constexpr double kTolerance = 0.3;
constexpr double kEndOfBurstMicros = 3000;
constexpr size_t kMaxHalfCycles = 200000;

// What it says.
constexpr int kPreambleIntervals = 18;
constexpr double kReplyPreambleMicros = 500;
constexpr double kReplySyncMicros = 1000;
constexpr int kLongToneIntervals = 64;
constexpr int kPatternIntervals = 36;
constexpr double kAnswerGapMicros = 8000;   // after the phone's burst
constexpr double kReplyGapMicros = 20000;   // after the acknowledgement
constexpr double kSwipeGapMicros = 5000;
constexpr double kLineTimeConstantMicros = 8;  // the line's smoothing of the level changes

const Bytes kProbe{0xFF, 0x00, 0xAA, 0x55};
const Bytes kDeviceInfo{0xE1, 0x06, 0x02};
const Bytes kDeviceInfoSecondForm{0xE1, 0x06, 0x03};
const Bytes kReadCardPrefix{0xE1, 0x02, 0x86, 0x03, 0x09, 0x01};
const Bytes kStopRead{0xE1, 0x03, 0x02};
constexpr uint8_t kAcknowledge = 0x01;
constexpr uint8_t kResendRequest = 0x02;
constexpr uint8_t kReceiveCalibration = 0x03;

bool near(double value, double nominal, double tolerance) {
  return value >= nominal * (1 - tolerance) && value <= nominal * (1 + tolerance);
}

uint8_t bcd(char high, char low) {
  auto digit = [](char c) { return static_cast<uint8_t>(c >= '0' && c <= '9' ? c - '0' : 0); };
  return static_cast<uint8_t>((digit(high) << 4) | digit(low));
}

}  // namespace

struct SimulatedReader0002::Heard {
  enum Kind { Wake, Probe, Frame } kind = Frame;
  bool readable = false;  // the marks, the bit lengths and every parity were right
  Bytes bytes;
  double S = 0;
};

Reader0002Card Reader0002Card::testCard() {
  Reader0002Card card;
  card.pan = "6222021234567890123";
  card.expiry = "2512";
  card.track2Length = 37;
  card.track3Length = 104;
  for (uint8_t i = 0; i < 32; ++i) card.encryptedTracks.push_back(static_cast<uint8_t>(0x3C ^ (i * 29)));
  return card;
}

SimulatedReader0002::SimulatedReader0002() : SimulatedReader0002(Config{}) {}

SimulatedReader0002::SimulatedReader0002(Config config) : config_(std::move(config)), noise_(config_.seed) {}

// ---------------------------------------------------------------------------------- the signals

double SimulatedReader0002::oneMicros(int F) { return static_cast<double>((17 * F + F / 3 + 9) / 2); }

namespace {

void appendPreamble(std::vector<double>& out) {
  out.insert(out.end(), kPreambleIntervals, kReplyPreambleMicros);
  out.insert(out.end(), 3, kReplySyncMicros);
}

}  // namespace

std::vector<double> SimulatedReader0002::replyIntervals(std::span<const uint8_t> bytes, int F) {
  const double one = oneMicros(F);
  std::vector<double> out;
  appendPreamble(out);
  for (uint8_t byte : bytes) {
    int ones = 0;
    for (int bit = 7; bit >= 0; --bit) {
      bool set = (byte >> bit) & 1;
      ones += set;
      out.push_back(set ? one : 2 * one);
    }
    out.push_back(ones % 2 == 0 ? one : 2 * one);
  }
  out.push_back(2 * one);  // the last level before the line goes quiet
  return out;
}

std::vector<double> SimulatedReader0002::longToneIntervals() {
  return std::vector<double>(kLongToneIntervals + 1, kReplyPreambleMicros);
}

std::vector<double> SimulatedReader0002::patternIntervals(int F) {
  const double one = oneMicros(F);
  std::vector<double> out;
  appendPreamble(out);
  out.insert(out.end(), 9, one);
  out.insert(out.end(), 8, 2 * one);
  for (int i = 17; i < kPatternIntervals; ++i) out.push_back(i % 2 == 1 ? 2 * one : one);
  out.push_back(2 * one);
  return out;
}

void SimulatedReader0002::render(std::span<const double> intervalsMicros, double rate, double amplitude,
                                 double clockError, bool invert, std::vector<float>& out) {
  const size_t base = out.size();
  const double scale = rate / 1e6 / (1 + clockError);
  float level = static_cast<float>(invert ? -amplitude : amplitude);
  double t = 0;
  for (double d : intervalsMicros) {
    t += d * scale;
    size_t end = base + static_cast<size_t>(std::llround(t));
    while (out.size() < end) out.push_back(level);
    level = -level;
  }
}

Bytes SimulatedReader0002::frame(std::span<const uint8_t> payload) {
  Bytes out{0x00, static_cast<uint8_t>(payload.size() >> 8), static_cast<uint8_t>(payload.size() & 0xFF)};
  out.insert(out.end(), payload.begin(), payload.end());
  uint8_t check = 0;
  for (uint8_t b : out) check ^= b;
  out.push_back(check);
  return out;
}

Bytes SimulatedReader0002::cardReply(const Reader0002Card& card) {
  std::string pan = card.pan;
  if (pan.size() < 10) pan.insert(0, 10 - pan.size(), '0');
  const std::string first = pan.substr(0, 6);
  const std::string last = pan.substr(pan.size() - 4);
  std::string expiry = card.expiry;
  expiry.resize(4, '0');
  Bytes out{bcd(first[0], first[1]), bcd(first[2], first[3]), bcd(first[4], first[5]),
            bcd(last[0], last[1]), bcd(last[2], last[3]),
            bcd(expiry[0], expiry[1]), bcd(expiry[2], expiry[3]),
            card.track2Length, card.track3Length};
  out.insert(out.end(), card.encryptedTracks.begin(), card.encryptedTracks.end());
  out.push_back(0x90);
  out.push_back(0x00);
  return out;
}

// ---------------------------------------------------------------------------------- hearing

void SimulatedReader0002::hear(std::span<const float> left, std::span<const float> right, double rate) {
  (void)right;
  std::lock_guard<std::mutex> lock(mutex_);
  rate_ = rate;
  for (float x : left) sampleHeard(x, rate);
}

void SimulatedReader0002::sampleHeard(float x, double rate) {
  const double th = config_.hearingThreshold;
  const int s = x > th ? 1 : (x < -th ? -1 : 0);
  if (s == level_) {
    ++run_;
  } else {
    if (level_ != 0) halfCycles_.push_back(static_cast<double>(run_) * 1e6 / rate * (1 + config_.clockError));
    level_ = s;
    run_ = 1;
  }
  if (level_ == 0) {
    ++silence_;
    if (silence_ == static_cast<size_t>(kEndOfBurstMicros * rate / 1e6) && !halfCycles_.empty()) {
      burstEnded(rate);
    }
  } else {
    silence_ = 0;
    if (halfCycles_.size() >= kMaxHalfCycles) burstEnded(rate);
  }
  ++idle_;
  if (awake_ && !armed_ && static_cast<double>(idle_) > config_.sleepAfterSeconds * rate) awake_ = false;
}

void SimulatedReader0002::burstEnded(double rate) {
  std::vector<double> hc;
  hc.swap(halfCycles_);
  idle_ = 0;
  const size_t n = hc.size();
  size_t i = 0;
  while (i < n) {
    if (near(hc[i], kWakeMicros, kTolerance)) {
      size_t r = 0;
      while (i + r < n && near(hc[i + r], kWakeMicros, kTolerance)) ++r;
      if (r >= kWakeRun) {
        Heard wake;
        wake.kind = Heard::Wake;
        handle(wake, rate);
      }
      i += r;
      continue;
    }
    if (!near(hc[i], kPreambleMicros, kTolerance)) {
      ++i;
      continue;
    }
    size_t r = 0;
    while (i + r < n && near(hc[i + r], kPreambleMicros, kTolerance)) ++r;
    size_t j = i + r;
    i = j;
    Heard heard;
    if (r >= 5 && r <= 8) heard.kind = Heard::Probe;
    else if (r >= 12 && r <= 20) heard.kind = Heard::Frame;
    else continue;  // not a preamble it knows

    // The marks and the start mark.
    bool marks = j + 10 <= n && near(hc[j], kSyncMicros, kTolerance) && near(hc[j + 1], kGuardMicros, 0.25);
    if (marks) {
      double m = 0;
      for (size_t k = j + 2; k < j + 9; ++k) m += hc[k];
      m /= 7;
      heard.S = m / 1.5;
      for (size_t k = j + 2; k < j + 9; ++k) marks = marks && near(hc[k], m, 0.2);
      marks = marks && hc[j + 9] >= m + 0.6 * heard.S && hc[j + 9] <= m + 1.4 * heard.S;
    }
    if (!marks) {
      handle(heard, rate);
      continue;
    }
    // The data, up to the closing guard half-cycles (2000 us; a 0 lasts 1.5 S).
    const double zero = 1.5 * heard.S;
    const double tail = zero < 1700 ? std::max((zero + kGuardMicros) / 2, 1.3 * zero) : 2 * zero;
    size_t k = j + 10;
    std::vector<double> data;
    while (k < n && hc[k] < tail) data.push_back(hc[k++]);
    while (k < n && hc[k] >= tail) ++k;
    i = k;
    bool readable = !data.empty() && data.size() % 9 == 0;
    for (size_t b = 0; readable && b < data.size(); b += 9) {
      int ones = 0;
      uint8_t byte = 0;
      for (size_t q = 0; q < 9; ++q) {
        double h = data[b + q];
        if (h < 0.6 * heard.S || h > 2.2 * heard.S) readable = false;
        int bit = h < 1.25 * heard.S ? 1 : 0;
        ones += bit;
        if (q < 8) byte = static_cast<uint8_t>((byte << 1) | bit);
      }
      if (ones % 2 == 0) readable = false;
      heard.bytes.push_back(byte);
    }
    heard.readable = readable;
    if (!readable) heard.bytes.clear();
    handle(heard, rate);
  }
}

void SimulatedReader0002::handle(const Heard& heard, double rate) {
  if (heard.kind == Heard::Wake) {
    ++wakeTones_;
    awake_ = true;
    return;
  }
  if (heard.kind == Heard::Probe) ++probes_;
  if (heard.S > 0) S_ = heard.S;
  if (!awake_ || silent_) return;
  const bool tooFast = heard.S < config_.minimumHalfBitMicros;

  if (heard.kind == Heard::Probe) {
    if (heard.readable && !tooFast && heard.bytes == kProbe) {
      said_.push_back({Said::LongTone, {}, 0});
      sayIntervals(longToneIntervals(), rate, kAnswerGapMicros);
    } else {
      sayBytes(Said::Refusal, {kResendRequest}, rate, kAnswerGapMicros);
    }
    return;
  }
  if (!heard.readable || tooFast) {
    sayBytes(Said::ResendRequest, {kResendRequest}, rate, kAnswerGapMicros);
    return;
  }
  Bytes bytes = heard.bytes;
  if (bytes.size() == 1 && bytes[0] == kResendRequest) {
    if (!lastReply_.empty()) sayReply(lastReply_, rate, kAnswerGapMicros);
    return;
  }
  if (bytes.size() == 2 && bytes[0] == kReceiveCalibration) {
    F_ = bytes[1];
    said_.push_back({Said::Pattern, {}, F_});
    sayIntervals(patternIntervals(F_), rate, kAnswerGapMicros);
    return;
  }
  if (bytes.size() < 5 || bytes[0] != 0x00) return;  // not for this reader
  if (corruptHeard_ > 0) {
    --corruptHeard_;
    bytes[3] ^= 0x10;
  }
  size_t length = (static_cast<size_t>(bytes[1]) << 8) | bytes[2];
  uint8_t check = 0;
  for (size_t q = 0; q + 1 < bytes.size(); ++q) check ^= bytes[q];
  if (bytes.size() != length + 4 || check != bytes.back()) {
    sayBytes(Said::ResendRequest, {kResendRequest}, rate, kAnswerGapMicros);
    return;
  }
  sayBytes(Said::Acknowledge, {kAcknowledge}, rate, kAnswerGapMicros);
  command(std::span<const uint8_t>(bytes).subspan(3, length), rate);
}

void SimulatedReader0002::command(std::span<const uint8_t> payload, double rate) {
  Bytes p(payload.begin(), payload.end());
  commands_.push_back(p);
  if (p == kDeviceInfo) {
    Bytes reply = firstKsn_ && !secondFormHeard_ ? *firstKsn_ : config_.ksn;
    reply.push_back(0x90);
    reply.push_back(0x00);
    sayReply(std::move(reply), rate, kReplyGapMicros);
  } else if (p == kDeviceInfoSecondForm) {
    secondFormHeard_ = true;
    sayReply({0x90, 0x00}, rate, kReplyGapMicros);
  } else if (p.size() == kReadCardPrefix.size() + 8 && std::equal(kReadCardPrefix.begin(), kReadCardPrefix.end(), p.begin())) {
    armed_ = true;
    std::copy(p.end() - 8, p.end(), lastRandom_.begin());
  } else if (p == kStopRead) {
    armed_ = false;
    sayReply({0x90, 0x00}, rate, kReplyGapMicros);
  } else {
    sayReply({0x6D, 0x00}, rate, kReplyGapMicros);
  }
}

// ---------------------------------------------------------------------------------- speaking

void SimulatedReader0002::sayBytes(Said what, const Bytes& bytes, double rate, double gapMicros) {
  said_.push_back({what, bytes, 0});
  sayIntervals(replyIntervals(bytes, F_), rate, gapMicros);
}

void SimulatedReader0002::sayReply(Bytes payload, double rate, double gapMicros) {
  if (nextReply_) {
    payload = std::move(*nextReply_);
    nextReply_.reset();
  }
  Bytes bytes = frame(payload);
  if (corruptReplies_ > 0) {
    --corruptReplies_;
    bytes.back() ^= 0x5A;
  }
  std::vector<double> intervals = replyIntervals(bytes, F_);
  if (cutNextReply_) {
    cutNextReply_ = false;
    const size_t head = kPreambleIntervals + 3;
    intervals.resize(head + (intervals.size() - head) / 2);
  }
  said_.push_back({Said::Reply, payload, 0});
  lastReply_ = std::move(payload);
  sayIntervals(intervals, rate, gapMicros);
}

void SimulatedReader0002::sayIntervals(const std::vector<double>& intervals, double rate, double gapMicros) {
  const size_t gap = static_cast<size_t>(gapMicros * rate / 1e6 / (1 + config_.clockError));
  out_.insert(out_.end(), gap, 0.0f);
  std::vector<float> signal;
  render(intervals, rate, 1.0, config_.clockError, false, signal);
  out_.insert(out_.end(), signal.begin(), signal.end());
}


void SimulatedReader0002::speak(std::span<float> mic, double rate) {
  std::lock_guard<std::mutex> lock(mutex_);
  const double alpha = 1 - std::exp(-1e6 / (rate * kLineTimeConstantMicros));
  const double sign = config_.invertPolarity ? -1.0 : 1.0;
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
}

// ---------------------------------------------------------------------------------- the user and the test

bool SimulatedReader0002::swipe(const Reader0002Card& card) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!armed_) return false;
  armed_ = false;
  sayReply(cardReply(card), rate_, kSwipeGapMicros);
  return true;
}

bool SimulatedReader0002::isArmed() const { return locked(armed_); }
bool SimulatedReader0002::isAwake() const { return locked(awake_); }

void SimulatedReader0002::setAmplitude(double amplitude) { setLocked(config_.amplitude, amplitude); }
void SimulatedReader0002::setNoise(double rms) { setLocked(config_.noiseRms, rms); }
void SimulatedReader0002::setClockError(double error) { setLocked(config_.clockError, error); }
void SimulatedReader0002::setInvertPolarity(bool invert) { setLocked(config_.invertPolarity, invert); }
void SimulatedReader0002::setMinimumHalfBitMicros(double micros) { setLocked(config_.minimumHalfBitMicros, micros); }
void SimulatedReader0002::setKsn(Bytes ksn) { setLocked(config_.ksn, std::move(ksn)); }
void SimulatedReader0002::setNextReply(Bytes payload) { setLocked(nextReply_, std::move(payload)); }
void SimulatedReader0002::corruptReplies(int count) { setLocked(corruptReplies_, count); }
void SimulatedReader0002::cutNextReply() { setLocked(cutNextReply_, true); }
void SimulatedReader0002::corruptHeard(int count) { setLocked(corruptHeard_, count); }
void SimulatedReader0002::setSilent(bool silent) { setLocked(silent_, silent); }

void SimulatedReader0002::setFirstKsn(Bytes ksn) {
  std::lock_guard<std::mutex> lock(mutex_);
  firstKsn_ = std::move(ksn);
  secondFormHeard_ = false;
}

std::vector<SimulatedReader0002::Utterance> SimulatedReader0002::said() const { return locked(said_); }
std::vector<Bytes> SimulatedReader0002::commands() const { return locked(commands_); }
int SimulatedReader0002::speedCode() const { return locked(F_); }
double SimulatedReader0002::halfBitMicros() const { return locked(S_); }
int SimulatedReader0002::wakeTonesHeard() const { return locked(wakeTones_); }
int SimulatedReader0002::probesHeard() const { return locked(probes_); }
std::array<uint8_t, 8> SimulatedReader0002::lastRandom() const { return locked(lastRandom_); }

}  // namespace standin
