#include "standin/SimulatedReader0001.h"

#include <algorithm>
#include <cmath>

namespace standin {

namespace {

constexpr double kBitRate = 2000.0;
// Hearing.
constexpr double kToneEndsAfter = 0.01;       // seconds of quiet
constexpr double kShortestTone = 0.02;
constexpr double kFrequencyTolerance = 0.15;
constexpr double kMostMismatched = 0.05;      // share of samples where the channels differ
constexpr double kSwipeToneHz = 5000;
constexpr double kKsnToneHz = 2000;
// The settling tail after the last bit.
constexpr double kTailHoldSeconds = 0.001;
constexpr double kTailTimeConstantSeconds = 0.002;
constexpr double kTailSeconds = 0.02;

constexpr uint8_t kAcknowledge = 0x06;
constexpr uint8_t kKsnReply = 0x02;

uint8_t bcd(char high, char low) {
  auto digit = [](char c) { return static_cast<uint8_t>(c >= '0' && c <= '9' ? c - '0' : 0); };
  return static_cast<uint8_t>((digit(high) << 4) | digit(low));
}

// Adds `level` over [t0, t1) (in samples, fractional) to the accumulated samples.
void addSegment(std::vector<double>& acc, double t0, double t1, double level) {
  if (t1 <= t0) return;
  const auto i0 = static_cast<size_t>(t0);
  const auto i1 = static_cast<size_t>(t1);
  if (acc.size() < i1 + 2) acc.resize(i1 + 2, 0.0);
  if (i0 == i1) {
    acc[i0] += level * (t1 - t0);
    return;
  }
  acc[i0] += level * (static_cast<double>(i0 + 1) - t0);
  for (size_t i = i0 + 1; i < i1; ++i) acc[i] += level;
  acc[i1] += level * (t1 - static_cast<double>(i1));
}

bool near(double value, double nominal) {
  return value >= nominal * (1 - kFrequencyTolerance) && value <= nominal * (1 + kFrequencyTolerance);
}

}  // namespace

Reader0001Card Reader0001Card::testCard() {
  Reader0001Card card;
  card.format = 0x39;
  card.pan = "6222021234567890123";
  card.expiry = "2512";
  card.name = "ZHANG/SAN^EXTRA";
  card.ksn = {0x20, 0x14, 0x06, 0x01, 0x00, 0x00, 0x12, 0x34, 0xE0, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  card.random = {0x5A, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD};
  card.track1Length = 0;
  card.track2Length = 37;
  card.track3Length = 104;
  for (uint8_t i = 0; i < 152; ++i) card.encryptedTracks.push_back(static_cast<uint8_t>(0x3C ^ (i * 29)));
  return card;
}

SimulatedReader0001::SimulatedReader0001() : SimulatedReader0001(Config{}) {}

SimulatedReader0001::SimulatedReader0001(Config config) : config_(std::move(config)), noise_(config_.seed) {}

// ---------------------------------------------------------------------------------- the packets

uint8_t SimulatedReader0001::crc8(std::span<const uint8_t> bytes) {
  uint8_t crc = 0;
  for (uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint8_t>(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
  }
  return crc;
}

Bytes SimulatedReader0001::acknowledge() {
  Bytes out{kAcknowledge, 0x01, 0x00};
  out.push_back(crc8(out));
  return out;
}

Bytes SimulatedReader0001::ksnReply(std::span<const uint8_t> ksn) {
  Bytes out{kKsnReply, static_cast<uint8_t>(ksn.size())};
  out.insert(out.end(), ksn.begin(), ksn.end());
  out.push_back(crc8(out));
  return out;
}

Bytes SimulatedReader0001::cardPacket(const Reader0001Card& card) {
  std::string pan = card.pan;
  if (pan.size() < 10) pan.insert(0, 10 - pan.size(), '0');
  std::string expiry = card.expiry;
  expiry.resize(4, '0');
  const uint8_t expiryFirst = bcd(expiry[0], expiry[1]);
  const uint8_t expirySecond = bcd(expiry[2], expiry[3]);
  const uint8_t panLength = static_cast<uint8_t>(card.pan.size());

  Bytes out{card.format, panLength};
  auto put = [&out](std::span<const uint8_t> bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) out.push_back(i < bytes.size() ? bytes[i] : 0);
  };
  auto panEnds = [&] {
    out.push_back(bcd(pan[0], pan[1]));
    out.push_back(bcd(pan[2], pan[3]));
    out.push_back(bcd(pan[4], pan[5]));
    const std::string last = pan.substr(pan.size() - 4);
    out.push_back(bcd(last[0], last[1]));
    out.push_back(bcd(last[2], last[3]));
  };
  switch (card.format) {
    case 0x34:
      panEnds();
      out.insert(out.end(), {expirySecond, expiryFirst});
      put(card.ksn, 10);
      out.insert(out.end(), {card.track2Length, card.track3Length});
      put(card.encryptedTracks, 152);
      break;
    case 0x39:
      panEnds();
      out.insert(out.end(), {expirySecond, expiryFirst});
      put(card.random, 8);
      put(card.ksn, 16);
      out.insert(out.end(), {card.track2Length, card.track3Length});
      put(card.encryptedTracks, 152);
      break;
    case 0x40: {
      std::string digits = card.pan;
      digits.resize(20, '0');
      for (size_t i = 0; i < 20; i += 2) out.push_back(bcd(digits[i], digits[i + 1]));
      out.insert(out.end(), {expirySecond, expiryFirst});
      put(card.ksn, 10);
      out.insert(out.end(), {card.track2Length, card.track3Length});
      put(card.encryptedTracks, 152);
      break;
    }
    default: {  // 0x08, 0x06, 0x38, 0x36, 0x31
      panEnds();
      out.insert(out.end(), {expirySecond, expiryFirst});
      std::string name = card.name;
      name.resize(26, ' ');
      out.insert(out.end(), name.begin(), name.end());
      put(card.ksn, 10);
      out.insert(out.end(), {card.track1Length, card.track2Length});
      put(card.encryptedTracks, card.format == 0x31 ? 128 : 120);
      break;
    }
  }
  out.push_back(crc8(out));
  return out;
}

void SimulatedReader0001::render(std::span<const uint8_t> bytes, double preambleSeconds, double rate,
                                 double clockError, std::vector<float>& out, std::optional<size_t> bitCount) {
  std::vector<bool> bits(static_cast<size_t>(std::llround(preambleSeconds * kBitRate)), false);
  bits.push_back(true);  // the start bit
  size_t data = 0;
  for (uint8_t byte : bytes) {
    for (int b = 7; b >= 0; --b) {
      if (bitCount && data >= *bitCount) break;
      bits.push_back(((byte >> b) & 1) != 0);
      ++data;
    }
  }
  const double cell = rate / kBitRate / (1 + clockError);
  std::vector<double> acc;
  double t = 0;
  double level = 0;
  for (bool one : bits) {
    // A 1 rises in the middle of its cell, a 0 falls.
    addSegment(acc, t, t + cell / 2, one ? -1.0 : 1.0);
    addSegment(acc, t + cell / 2, t + cell, one ? 1.0 : -1.0);
    level = one ? 1.0 : -1.0;
    t += cell;
  }
  // The line holds the last level, then settles back to zero without crossing it.
  const double holdEnd = t + kTailHoldSeconds * rate;
  addSegment(acc, t, holdEnd, level);
  const double tau = kTailTimeConstantSeconds * rate;
  const auto tailEnd = static_cast<size_t>(holdEnd + kTailSeconds * rate);
  if (acc.size() < tailEnd) acc.resize(tailEnd, 0.0);
  const auto first = static_cast<size_t>(holdEnd);
  acc[first] += level * (std::ceil(holdEnd) - holdEnd);
  for (size_t i = first + 1; i < tailEnd; ++i) acc[i] += level * std::exp(-(static_cast<double>(i) + 0.5 - holdEnd) / tau);
  for (double v : acc) out.push_back(static_cast<float>(v));
}

// ---------------------------------------------------------------------------------- hearing

void SimulatedReader0001::hear(std::span<const float> left, std::span<const float> right, double rate) {
  std::lock_guard<std::mutex> lock(mutex_);
  rate_ = rate;
  const float th = static_cast<float>(config_.hearingThreshold);
  for (size_t i = 0; i < left.size(); ++i, ++heardSamples_) {
    const float l = left[i];
    const float r = i < right.size() ? right[i] : l;
    if (std::fabs(l) > th) {
      if (!inTone_) {
        inTone_ = true;
        toneStart_ = heardSamples_;
        toneSamples_ = toneCrossings_ = toneMismatched_ = 0;
        lastSign_ = 0;
      }
      const int sign = l > 0 ? 1 : -1;
      if (lastSign_ != 0 && sign != lastSign_) ++toneCrossings_;
      lastSign_ = sign;
      toneLast_ = heardSamples_;
      ++toneSamples_;
      const int rightSign = r > th ? 1 : (r < -th ? -1 : 0);
      if (rightSign != sign) ++toneMismatched_;
    } else if (inTone_ && static_cast<double>(heardSamples_ - toneLast_) > kToneEndsAfter * rate) {
      inTone_ = false;
      toneEnded(rate);
    }
  }
}

void SimulatedReader0001::toneEnded(double rate) {
  const double seconds = static_cast<double>(toneLast_ - toneStart_ + 1) / rate;
  if (seconds < kShortestTone) return;
  if (static_cast<double>(toneMismatched_) > kMostMismatched * static_cast<double>(toneSamples_)) return;
  const double frequency = static_cast<double>(toneCrossings_) / 2 / seconds;
  if (near(frequency, kSwipeToneHz)) {
    heard_.push_back(Heard::SwipeCommand);
    armed_ = false;
    say(Said::Acknowledge, acknowledge(), config_.replyPreamble,
        toneStart_ + static_cast<uint64_t>(config_.acknowledgeAfter * rate), rate);
    armed_ = true;
  } else if (near(frequency, kKsnToneHz)) {
    heard_.push_back(Heard::KsnCommand);
    say(Said::KsnReply, ksnReply(config_.ksn), config_.replyPreamble,
        toneStart_ + static_cast<uint64_t>(config_.ksnReplyAfter * rate), rate);
  }
}

// ---------------------------------------------------------------------------------- speaking

void SimulatedReader0001::say(Said what, Bytes packet, double preambleSeconds, uint64_t dueSample, double rate) {
  if (silent_) return;
  if (std::exchange(flipNext_, false)) packet[packet.size() / 2] ^= 0x04;
  std::optional<size_t> bits;
  if (std::exchange(cutNext_, false)) bits = packet.size() * 4;
  std::vector<float> signal;
  render(packet, preambleSeconds, rate, config_.clockError, signal, bits);
  const uint64_t queueEnd = spokenSamples_ + out_.size();
  if (dueSample > queueEnd) out_.insert(out_.end(), dueSample - queueEnd, 0.0f);
  out_.insert(out_.end(), signal.begin(), signal.end());
  said_.push_back({what, std::move(packet)});
}


void SimulatedReader0001::speak(std::span<float> mic, double rate) {
  std::lock_guard<std::mutex> lock(mutex_);
  const double gain = config_.invertPolarity ? -config_.amplitude : config_.amplitude;
  for (float& m : mic) {
    double v = 0;
    if (!out_.empty()) {
      v = out_.front();
      out_.pop_front();
    }
    double x = gain * v;
    if (config_.noiseRms > 0) x += config_.noiseRms * noise_.gaussian();
    m = static_cast<float>(std::clamp(x, -1.0, 1.0));
    ++spokenSamples_;
  }
}

// ---------------------------------------------------------------------------------- the user and the test

bool SimulatedReader0001::swipe(const Reader0001Card& card) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!armed_) return false;
  armed_ = false;
  const uint64_t queueEnd = spokenSamples_ + out_.size();
  say(Said::CardPacket, cardPacket(card), config_.swipePreamble,
      queueEnd + static_cast<uint64_t>(config_.swipeGap * rate_), rate_);
  return true;
}

bool SimulatedReader0001::report(uint8_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!armed_) return false;
  armed_ = false;
  const uint64_t queueEnd = spokenSamples_ + out_.size();
  say(Said::Report, Bytes{code}, config_.replyPreamble, queueEnd + static_cast<uint64_t>(config_.swipeGap * rate_),
      rate_);
  return true;
}

bool SimulatedReader0001::isArmed() const { return locked(armed_); }

bool SimulatedReader0001::isQuiet() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return out_.empty();
}

void SimulatedReader0001::setAmplitude(double amplitude) { setLocked(config_.amplitude, amplitude); }
void SimulatedReader0001::setNoise(double rms) { setLocked(config_.noiseRms, rms); }
void SimulatedReader0001::setClockError(double error) { setLocked(config_.clockError, error); }
void SimulatedReader0001::setInvertPolarity(bool invert) { setLocked(config_.invertPolarity, invert); }
void SimulatedReader0001::setKsn(Bytes ksn) { setLocked(config_.ksn, std::move(ksn)); }
void SimulatedReader0001::setKsnReplyAfter(double seconds) { setLocked(config_.ksnReplyAfter, seconds); }
void SimulatedReader0001::setAcknowledgeAfter(double seconds) { setLocked(config_.acknowledgeAfter, seconds); }
void SimulatedReader0001::flipBitInNextPacket() { setLocked(flipNext_, true); }
void SimulatedReader0001::cutNextPacket() { setLocked(cutNext_, true); }
void SimulatedReader0001::setSilent(bool silent) { setLocked(silent_, silent); }

std::vector<SimulatedReader0001::Heard> SimulatedReader0001::heard() const { return locked(heard_); }
std::vector<SimulatedReader0001::Utterance> SimulatedReader0001::said() const { return locked(said_); }

}  // namespace standin
