#include "reader/f0002/Swiper1Modem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "platform/media/DuplexUnit.h"
#include "reader/f0002/Swiper1Burst.h"
#include "reader/f0002/Swiper1Frame.h"
#include "reader/f0002/Swiper1ReceiveSearch.h"
#include "reader/f0002/Swiper1TransmitSearch.h"

namespace nvx::reader {

namespace {

constexpr const char* kTag = "Swiper1Modem";
constexpr size_t kNothingToPlay = Swiper1Modem::kTransmitValues;
constexpr int kSendAttempts = 7;
constexpr int kReceiveAttempts = 6;
constexpr int kAcknowledgeWaitMs = 250;
constexpr int kCalibrationWaitMs = 250;
constexpr int kPollMs = 20;
constexpr int kPlayPollMs = 2;
constexpr int kPlayPolls = 1000;
constexpr int kCapturePolls = 1000;
constexpr auto kInterruptWait = std::chrono::milliseconds(100);
constexpr uint8_t kReceiveCalibration = 0x03;
const uint8_t kProbe[] = {0xFF, 0x00, 0xAA, 0x55};

platform::Duration ms(int n) { return std::chrono::milliseconds(n); }

}  // namespace

// One received burst: a frame (its bytes, or a parity error), or nothing within the wait.
struct Swiper1Modem::Burst {
  int code = 0;  // -10 or -11
  bool heard = false;
  bool parityError = false;
  std::vector<uint8_t> bytes;
};

// Marks an operation under way (for the interrupt) and clears the interrupt request at its end.
class Swiper1Modem::Operation {
 public:
  Operation(Swiper1Modem& modem, const std::atomic<bool>* cancel) : modem_(modem) {
    std::lock_guard<std::mutex> lock(modem_.waitMutex_);
    modem_.operating_ = true;
    modem_.cancel_ = cancel;
  }
  ~Operation() {
    {
      std::lock_guard<std::mutex> lock(modem_.waitMutex_);
      modem_.operating_ = false;
      modem_.cancel_ = nullptr;
      modem_.interrupt_ = false;
    }
    modem_.idleCv_.notify_all();
  }
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;

 private:
  Swiper1Modem& modem_;
};

Swiper1Modem& Swiper1Modem::shared() { return platform::Process::current().shared<Swiper1Modem>(); }

Swiper1Modem::Swiper1Modem() : tx_(kTransmitValues), ring_(kCaptureSamples) {}

Swiper1Modem::~Swiper1Modem() {
  std::unique_ptr<platform::media::DuplexUnit> unit;
  {
    std::lock_guard<std::mutex> lock(unitMutex_);
    unit = std::move(unit_);
  }
  if (unit) unit->dispose();
}

// ---------------------------------------------------------------------------------- audio side

void Swiper1Modem::render(int16_t* io, size_t frames) {
  std::lock_guard<std::mutex> lock(ringMutex_);
  // Capture: the consumed count first, then one sample per frame unless the ring would fill up.
  if (consumed_ > 0) {
    if (consumed_ < captured_) {
      std::memmove(ring_.data(), ring_.data() + consumed_, captured_ - consumed_);
      captured_ -= consumed_;
    } else {
      captured_ = 0;
    }
    consumed_ = 0;
  }
  if (captured_ + frames < kCaptureSamples) {
    for (size_t i = 0; i < frames; ++i) ring_[captured_ + i] = static_cast<int8_t>(io[2 * i] >> 8);
    captured_ += frames;
  }
  // Playback: the next values of the burst, then silence.
  const size_t values = frames * 2;
  size_t pos = playPos_.load();
  size_t n = pos < txCount_ ? std::min(values, txCount_ - pos) : 0;
  if (n > 0) std::memcpy(io, tx_.data() + pos, n * sizeof(int16_t));
  std::fill(io + n, io + values, int16_t{0});
  if (pos != kNothingToPlay) playPos_ = pos + n >= txCount_ ? kNothingToPlay : pos + n;
}

// ---------------------------------------------------------------------------------- start, close

int Swiper1Modem::start(uint32_t captureRate, uint32_t playbackRate) {
  if (isRunning()) return 0;
  mode_ = 0;
  W_ = std::min<uint16_t>(200, kMaxWakeCycles);
  const uint32_t rate = std::min(std::min(captureRate, kMaxRate), std::min(playbackRate, kMaxRate));
  if (rate == 0) return -1;
  rate_ = rate;
  demod_ = Swiper1Demodulator(rate);
  {
    std::lock_guard<std::mutex> lock(ringMutex_);
    captured_ = consumed_ = 0;
    txCount_ = 0;
    playPos_ = kNothingToPlay;
  }
  woken_ = false;
  calibrated_ = false;
  T_ = Swiper1Demodulator::thresholdForCode(F_, rate);

  if (!platform::media::AudioSession::sharedInstance().setActive(true).isOk()) {
    platform::log::warning(kTag, "the audio session could not be activated");
    return -1;
  }
  auto unit = std::make_unique<platform::media::DuplexUnit>(platform::media::AudioFormat::s16(rate, 2),
                                                            [this](int16_t* io, size_t frames) { render(io, frames); });
  platform::media::AudioStatus status = unit->setInputEnabled(true);
  if (status.isOk()) status = unit->initialize();
  if (status.isOk()) status = unit->start();
  if (!status.isOk()) {
    platform::log::warning(kTag, "the audio unit did not start: " + std::to_string(status.code()));
    unit->dispose();
    return -1;
  }
  {
    std::lock_guard<std::mutex> lock(unitMutex_);
    unit_ = std::move(unit);
  }
  // A test's reset stops the unit before the audio engine goes.
  platform::Process::current().onShutdown([this] {
    std::unique_ptr<platform::media::DuplexUnit> gone;
    {
      std::lock_guard<std::mutex> lock(unitMutex_);
      gone = std::move(unit_);
    }
    if (gone) gone->dispose();
  });
  return 0;
}

void Swiper1Modem::close() {
  std::unique_ptr<platform::media::DuplexUnit> unit;
  {
    std::lock_guard<std::mutex> lock(unitMutex_);
    unit = std::move(unit_);
  }
  if (unit) {
    (void)unit->stop();
    unit->dispose();
  }
  (void)platform::media::AudioSession::sharedInstance().setActive(false);
}

bool Swiper1Modem::isRunning() const {
  std::lock_guard<std::mutex> lock(unitMutex_);
  return unit_ && unit_->isRunning();
}

Swiper1Modem::Speed Swiper1Modem::speed() const { return Speed{S_, F_, T_, W_}; }

// ---------------------------------------------------------------------------------- waiting

bool Swiper1Modem::ending() const { return interrupt_ || (cancel_ && cancel_->load()); }

bool Swiper1Modem::pause(platform::Duration d) {
  std::unique_lock<std::mutex> lock(waitMutex_);
  if (ending()) return false;
  if (d > platform::Duration::zero()) {
    platform::clock().waitUntil(lock, waitCv_, platform::clock().now() + d, [this] { return ending(); });
  }
  return !ending();
}

void Swiper1Modem::interrupt() {
  std::unique_lock<std::mutex> lock(waitMutex_);
  interrupt_ = true;
  waitCv_.notify_all();
  {
    // A running operation takes the request at once (its waits end on it); this waits only for
    // that, not for the clock.
    platform::Thread::Idle idle;
    idleCv_.wait_for(lock, kInterruptWait, [this] { return !operating_ || !interrupt_; });
  }
  interrupt_ = false;
}

// ---------------------------------------------------------------------------------- playing

int Swiper1Modem::play(const std::vector<uint32_t>& halfCycles) {
  const size_t values = Swiper1Burst::totalFrames(halfCycles) * 2;
  if (halfCycles.empty() || values > kTransmitValues) {
    platform::log::warning(kTag, "a burst of " + std::to_string(values) + " values does not fit; not sent");
    return kSwiper1BurstTooLong;
  }
  // A burst still playing (its operation was interrupted) is played to its end first.
  for (int i = 0; i < kPlayPolls && playPos_ != kNothingToPlay; ++i) platform::clock().sleepFor(ms(kPlayPollMs));
  {
    std::lock_guard<std::mutex> lock(ringMutex_);
    playPos_ = kNothingToPlay;  // the audio side reads nothing of the buffer from now on
  }
  (void)Swiper1Burst::render(halfCycles, tx_);
  {
    std::lock_guard<std::mutex> lock(ringMutex_);
    consumed_ = 0;
    captured_ = 0;
    txCount_ = values;
    playPos_ = 0;
  }
  ++bursts_;
  // Wait for the burst's end: as long as it lasts, and at most 2 s more.
  const size_t polls = values / 2 * 1000 / std::max<uint32_t>(rate_, 1) / kPlayPollMs + kPlayPolls;
  for (size_t i = 0; i < polls && playPos_ != kNothingToPlay; ++i) {
    if (!pause(ms(kPlayPollMs))) return kSwiper1Interrupted;
  }
  return 0;
}

int Swiper1Modem::playBytes(std::span<const uint8_t> bytes, uint8_t S, int preamble) {
  auto hc = Swiper1Burst::halfCycles(bytes, S, rate_, preamble);
  if (hc.empty()) return kSwiper1BurstTooLong;
  return play(hc);
}

int Swiper1Modem::playWake() {
  int r = play(Swiper1Burst::wakeTone(W_, rate_));
  if (r == 0) {
    woken_ = true;
    ++wakeTones_;
  }
  return r;
}

// ---------------------------------------------------------------------------------- hearing

int Swiper1Modem::detect(Swiper1Demodulator::Detection& d, int T, size_t& captured) {
  for (int i = 0;; ++i) {
    {
      std::lock_guard<std::mutex> lock(ringMutex_);
      if (consumed_ == 0) {
        captured = captured_;
        break;
      }
    }
    if (i >= kCapturePolls) return kSwiper1CaptureStalled;
    if (!pause(ms(1))) return kSwiper1Interrupted;
  }
  // Only this thread moves the ring (through the consumed count), and the audio side appends
  // behind `captured`: the samples read here stay put.
  d = demod_.detect(std::span<const int8_t>(ring_.data(), captured), T, levels_);
  if (d.found == Swiper1Demodulator::Found::Nothing || d.found == Swiper1Demodulator::Found::Pending) {
    consume(d.consumable);
  }
  return 0;
}

void Swiper1Modem::consume(size_t samples) {
  if (samples == 0) return;
  std::lock_guard<std::mutex> lock(ringMutex_);
  consumed_ = samples;
}

int Swiper1Modem::listen(int waitMs, int T, bool framesOnly, Swiper1Demodulator::Detection& d, size_t& captured) {
  const auto deadline = platform::clock().now() + ms(waitMs);
  for (;;) {
    if (int r = detect(d, T, captured)) return r;
    if (d.found == Swiper1Demodulator::Found::Frame) return 0;
    if (d.found == Swiper1Demodulator::Found::LongTone) {
      if (!framesOnly) return 0;
      consume(d.end);  // not what is listened for: out of the way of what may follow
    }
    if (platform::clock().now() >= deadline) {
      d.found = Swiper1Demodulator::Found::Nothing;
      return 0;
    }
    if (!pause(ms(kPollMs))) return kSwiper1Interrupted;
  }
}

Swiper1Modem::Burst Swiper1Modem::receiveBurst(int waitMs) {
  Burst b;
  Swiper1Demodulator::Detection d;
  size_t captured = 0;
  if (int r = listen(waitMs, T_, true, d, captured)) {
    b.code = r;
    return b;
  }
  if (d.found != Swiper1Demodulator::Found::Frame) return b;
  auto decoded = demod_.decode(std::span<const int8_t>(ring_.data(), captured), d.dataStart, d.end, T_);
  consume(d.end);
  b.heard = true;
  b.parityError = decoded.parityError;
  b.bytes = std::move(decoded.bytes);
  return b;
}

// ---------------------------------------------------------------------------------- calibration

int Swiper1Modem::calibrate(std::optional<Swiper1CalibrationKind> transmit,
                            std::optional<Swiper1CalibrationKind> receive) {
  if (!woken_) {
    if (int r = playWake()) return r;
  }
  calibrated_ = false;
  if (transmit) {
    if (int r = transmitSearch(*transmit)) return r;
  }
  if (receive) {
    if (int r = receiveSearch(*receive)) return r;
  }
  calibrated_ = true;
  return 0;
}

int Swiper1Modem::transmitSearch(Swiper1CalibrationKind kind) {
  Swiper1TransmitSearch search(kind, S_, rate_);
  Swiper1SearchStep step;
  for (;;) {
    if (step.what == Swiper1SearchStep::WakeAndProbe) {
      if (int r = playWake()) return r;
    }
    if (int r = playBytes(kProbe, search.speed(), Swiper1Burst::kProbePreamble)) return r;
    Swiper1Demodulator::Detection d;
    size_t captured = 0;
    if (int r = listen(kCalibrationWaitMs, T_, false, d, captured)) return r;
    auto answer = d.found == Swiper1Demodulator::Found::LongTone ? Swiper1TransmitSearch::Answer::LongTone
                  : d.found == Swiper1Demodulator::Found::Frame  ? Swiper1TransmitSearch::Answer::Other
                                                                 : Swiper1TransmitSearch::Answer::Silence;
    step = search.next(answer);
    if (step.what == Swiper1SearchStep::Done) {
      S_ = search.speed();
      return 0;
    }
    if (step.what == Swiper1SearchStep::Failed) return step.code;
  }
}

int Swiper1Modem::receiveSearch(Swiper1CalibrationKind kind) {
  Swiper1ReceiveSearch search(kind, F_);
  for (;;) {
    const uint8_t F = search.speed();
    const uint8_t pair[] = {kReceiveCalibration, F};
    if (int r = playBytes(pair, S_, Swiper1Burst::kFramePreamble)) return r;
    const int T = Swiper1Demodulator::thresholdForCode(F, rate_);
    T_ = T;
    Swiper1Demodulator::Detection d;
    size_t captured = 0;
    if (int r = listen(kCalibrationWaitMs, T, true, d, captured)) return r;
    auto answer = Swiper1ReceiveSearch::Answer::Silence;
    if (d.found == Swiper1Demodulator::Found::Frame) {
      auto result = demod_.analyse(std::span<const int8_t>(ring_.data(), captured), d.dataStart, d.end, T);
      if (result.threshold > 0) T_ = result.threshold;
      answer = result.pattern == Swiper1Demodulator::Pattern::Good  ? Swiper1ReceiveSearch::Answer::Good
               : result.pattern == Swiper1Demodulator::Pattern::Bad ? Swiper1ReceiveSearch::Answer::Bad
                                                                    : Swiper1ReceiveSearch::Answer::TooShort;
    }
    Swiper1SearchStep step = search.next(answer);
    if (step.what == Swiper1SearchStep::Done) {
      F_ = search.speed();
      return 0;
    }
    if (step.what == Swiper1SearchStep::Failed) return step.code;
  }
}

// ---------------------------------------------------------------------------------- transceive

int Swiper1Modem::transceive(std::span<const uint8_t> payload, std::vector<uint8_t>* reply, int waitMs,
                             const std::atomic<bool>* cancel) {
  Operation operation(*this, cancel);
  if (!pause(platform::Duration::zero())) return kSwiper1Interrupted;
  if (payload.size() > Swiper1Frame::kMaxPayload) return kSwiper1PayloadTooLong;
  if (!isRunning()) return payload.empty() ? kSwiper1ReceiveNotRunning : kSwiper1SendNotRunning;

  if (!calibrated_) {
    if (int r = calibrate(Swiper1CalibrationKind::Full, Swiper1CalibrationKind::Full)) return r;
  } else if (!woken_) {
    if (int r = calibrate(Swiper1CalibrationKind::Refine, Swiper1CalibrationKind::Refine)) return r;
  }

  if (!payload.empty()) {
    const std::vector<uint8_t> frame = Swiper1Frame::wrap(payload);
    int wrong = 0, recalibratedAt = 0;
    bool acknowledged = false;
    for (int attempt = 1; attempt <= kSendAttempts && !acknowledged; ++attempt) {
      if ((wrong == 2 || wrong == 4) && recalibratedAt != wrong) {
        recalibratedAt = wrong;
        if (!pause(ms(10))) return kSwiper1Interrupted;
        if (int r = calibrate(Swiper1CalibrationKind::Slower, std::nullopt)) return r;
      }
      if (!pause(ms((attempt - 1) * 10))) return kSwiper1Interrupted;
      if (int r = playBytes(frame, S_, Swiper1Burst::kFramePreamble)) return r;
      Burst answer = receiveBurst(kAcknowledgeWaitMs);
      if (answer.code) return answer.code;
      if (answer.heard && !answer.parityError && answer.bytes == std::vector<uint8_t>{Swiper1Frame::kAcknowledge}) {
        acknowledged = true;
      } else if (attempt == 1 && !answer.heard) {
        // The reader may have gone to sleep: wake it and check the speed before trying again.
        if (int r = playWake()) return r;
        if (int r = calibrate(Swiper1CalibrationKind::Refine, Swiper1CalibrationKind::Refine)) return r;
      } else {
        ++wrong;
      }
    }
    if (!acknowledged) return kSwiper1NoAcknowledge;
  }

  if (!reply) return 0;
  const uint8_t resend[] = {Swiper1Frame::kResendRequest};
  for (int k = 0; k < kReceiveAttempts; ++k) {
    if (!pause(ms(k * 10))) return kSwiper1Interrupted;
    if (k == 2) {
      if (int r = calibrate(std::nullopt, Swiper1CalibrationKind::Slower)) return r;
    }
    if (k > 0) {
      if (int r = playBytes(resend, S_, Swiper1Burst::kFramePreamble)) return r;
    }
    Burst b = receiveBurst(waitMs);
    if (b.code) return b.code;
    if (!b.heard) return 0;
    if (b.parityError || b.bytes.size() < Swiper1Frame::kOverhead) continue;
    auto p = Swiper1Frame::payload(b.bytes);
    if (!p) continue;
    reply->assign(p->begin(), p->end());
    return static_cast<int>(p->size());
  }
  if (int r = playBytes(resend, S_, Swiper1Burst::kFramePreamble)) return r;
  return kSwiper1NoValidReply;
}

// ---------------------------------------------------------------------------------- speed text

std::string Swiper1Modem::speedString() const {
  const int S = S_, F = F_;
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d", S, F, S ^ F);
  return text;
}

int Swiper1Modem::applySpeedString(std::string_view text) {
  constexpr int kRefused = 255;
  if (text.size() < 6) return kRefused;
  int v[3];
  for (int i = 0; i < 3; ++i) {
    char a = text[static_cast<size_t>(2 * i)], b = text[static_cast<size_t>(2 * i + 1)];
    if (a < '0' || a > '9' || b < '0' || b > '9') return kRefused;
    v[i] = (a - '0') * 10 + (b - '0');
  }
  if ((v[0] ^ v[1]) != v[2]) return kRefused;
  if (v[0] < 2 || v[1] < 1) return kRefused;  // no usable speed, whatever its check says
  S_ = static_cast<uint8_t>(v[0]);
  F_ = static_cast<uint8_t>(v[1]);
  calibrated_ = true;
  return 0;
}

// ---------------------------------------------------------------------------------- functions

int swiper1_modem_start(uint32_t captureRate, uint32_t playbackRate) {
  return Swiper1Modem::shared().start(captureRate, playbackRate);
}

void swiper1_modem_close() { Swiper1Modem::shared().close(); }

int swiper1_modem_transceive(std::span<const uint8_t> payload, std::vector<uint8_t>* reply, int waitMs,
                             const std::atomic<bool>* cancel) {
  return Swiper1Modem::shared().transceive(payload, reply, waitMs, cancel);
}

void swiper1_modem_interrupt() { Swiper1Modem::shared().interrupt(); }

std::string swiper1_modem_speed_string() { return Swiper1Modem::shared().speedString(); }

int swiper1_modem_apply_speed_string(std::string_view text) { return Swiper1Modem::shared().applySpeedString(text); }

}  // namespace nvx::reader
