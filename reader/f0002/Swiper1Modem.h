// The audio modem of the 0002 reader: one per process (there is one headset socket). It runs
// the duplex audio unit for simultaneous playback and capture, sends payloads as checked frames
// in square-wave bursts (Swiper1Burst), finds and decodes the reader's answers in the captured
// sound (Swiper1Demodulator), acknowledges, retries and asks for resends, and calibrates the bit
// speed in both directions (Swiper1TransmitSearch, Swiper1ReceiveSearch), remembering the learnt
// speed as a short text.
//
// Threads: every operation but swiper1_modem_interrupt runs on the driver's worker thread, one
// at a time; the audio unit's render callback runs on the audio engine's thread (capture and
// playback); the interrupt comes from the main thread (or the thread that handles an unplug).
// The captured and consumed counts change only under the ring's mutex; the play position and the
// interrupt request are atomic. Every wait of an operation ends early when the interrupt is
// requested (or the caller's cancel flag is set), so that an interrupt is taken at once whatever
// the clock does.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Process.h"
#include "reader/f0002/Swiper1Demodulator.h"
#include "reader/f0002/Swiper1SearchStep.h"

namespace platform::media {
class DuplexUnit;
}

namespace nvx::reader {

// Results of swiper1_modem_transceive other than a reply's length.
enum Swiper1ModemCode : int {
  kSwiper1ReceiveNotRunning = -1,    // receive while the audio unit does not run
  kSwiper1SendNotRunning = -2,       // send while the audio unit does not run
  kSwiper1BurstTooLong = -3,         // the burst would not fit the transmit buffer (nothing sent)
  kSwiper1PayloadTooLong = -4,       // payload longer than 496 bytes
  kSwiper1NoAcknowledge = -6,        // no acknowledgement after 7 sends
  kSwiper1Interrupted = -10,
  kSwiper1CaptureStalled = -11,      // the audio side did not take up the consumed count within 1 s
  kSwiper1NoValidReply = -12,        // no valid reply after 6 receive attempts
  kSwiper1TransmitSilent = -30,
  kSwiper1TransmitNoSpeed = -31,
  kSwiper1ReceiveSilent = -32,
  kSwiper1ReceiveNoSpeed = -33,
};

class Swiper1Modem {
 public:
  static constexpr size_t kTransmitValues = 1920000;  // one burst: 960,000 stereo frames
  static constexpr size_t kCaptureSamples = 960000;   // 5.4 s at 176,400 frames/s
  static constexpr uint32_t kMaxRate = 192000;
  static constexpr uint16_t kMaxWakeCycles = 2000;

  // The speed block and the frame-detection levels.
  struct Speed {
    uint8_t S = 20;   // transmit half-bit length, frames
    uint8_t F = 7;    // receive speed code
    int T = 22;       // receive threshold, samples
    uint16_t W = 200; // wake tone length, cycles
  };

  static Swiper1Modem& shared();
  ~Swiper1Modem();
  Swiper1Modem(const Swiper1Modem&) = delete;
  Swiper1Modem& operator=(const Swiper1Modem&) = delete;

  int start(uint32_t captureRate, uint32_t playbackRate);
  void close();
  // payload empty: nothing is sent; reply null: nothing is received (0 after a good send).
  // cancel: a flag of the caller that, once set, ends the operation like an interrupt (checked
  // on entry and at every wait).
  int transceive(std::span<const uint8_t> payload, std::vector<uint8_t>* reply, int waitMs,
                 const std::atomic<bool>* cancel = nullptr);
  void interrupt();
  std::string speedString() const;
  int applySpeedString(std::string_view text);

  // --- state (the driver, tests) ---
  bool isRunning() const;
  bool isCalibrated() const { return calibrated_; }
  bool isWoken() const { return woken_; }
  uint32_t rate() const { return rate_; }
  Speed speed() const;
  // Bursts played since the process began (wake tones included), and wake tones alone.
  int burstsPlayed() const { return bursts_; }
  int wakeTonesPlayed() const { return wakeTones_; }
  // Tests: a half-bit the searches would reach only after many steps slower.
  void setHalfBitForTesting(uint8_t S) { S_ = S; }

 private:
  friend class platform::Process;
  struct Burst;
  class Operation;
  Swiper1Modem();

  // The audio engine's thread.
  void render(int16_t* io, size_t frames);

  // Waits d on the clock; false (at once) when the operation is to end.
  bool pause(platform::Duration d);
  bool ending() const;
  int playBytes(std::span<const uint8_t> bytes, uint8_t S, int preamble);
  int playWake();
  int play(const std::vector<uint32_t>& halfCycles);
  // Frame detection over the ring at threshold T (the Nothing and Pending cases drop what is not
  // needed); captured: the samples it looked at.
  int detect(Swiper1Demodulator::Detection& d, int T, size_t& captured);
  // Polls detection every 20 ms for waitMs: a frame (or a long tone, unless framesOnly) or nothing.
  int listen(int waitMs, int T, bool framesOnly, Swiper1Demodulator::Detection& d, size_t& captured);
  void consume(size_t samples);
  Burst receiveBurst(int waitMs);
  int calibrate(std::optional<Swiper1CalibrationKind> transmit, std::optional<Swiper1CalibrationKind> receive);
  int transmitSearch(Swiper1CalibrationKind kind);
  int receiveSearch(Swiper1CalibrationKind kind);

  // transmit buffer (written by the worker while nothing plays) and ring
  std::vector<int16_t> tx_;
  size_t txCount_ = 0;
  std::atomic<size_t> playPos_{kTransmitValues};
  std::vector<int8_t> ring_;
  size_t captured_ = 0;
  size_t consumed_ = 0;
  mutable std::mutex ringMutex_;

  // speed block, levels, flags
  std::atomic<uint8_t> S_{20};
  std::atomic<uint8_t> F_{7};
  std::atomic<int> T_{22};
  std::atomic<uint16_t> W_{200};
  Swiper1Demodulator::Levels levels_;  // the operations' own
  std::atomic<bool> calibrated_{false};
  std::atomic<bool> woken_{false};
  int mode_ = 0;
  std::atomic<uint32_t> rate_{0};
  std::atomic<int> bursts_{0};
  std::atomic<int> wakeTones_{0};

  // operations and their interruption
  std::mutex waitMutex_;
  std::condition_variable_any waitCv_;   // operations' waits on the clock
  std::condition_variable idleCv_;       // an operation ended
  std::atomic<bool> interrupt_{false};
  bool operating_ = false;
  const std::atomic<bool>* cancel_ = nullptr;

  mutable std::mutex unitMutex_;
  std::unique_ptr<platform::media::DuplexUnit> unit_;
  Swiper1Demodulator demod_{176400};
};

// The modem's operations as the driver calls them, on the one modem of the process.
// 0, or a negative code: the unit failed to start (-1). Already running: 0.
int swiper1_modem_start(uint32_t captureRate, uint32_t playbackRate);
void swiper1_modem_close();
// The reply's payload length (above 0), 0 (a good send without reply buffer, or nothing within
// the wait), or a negative Swiper1ModemCode.
int swiper1_modem_transceive(std::span<const uint8_t> payload, std::vector<uint8_t>* reply, int waitMs,
                             const std::atomic<bool>* cancel = nullptr);
void swiper1_modem_interrupt();
// S, F and S XOR F, each "%02d".
std::string swiper1_modem_speed_string();
// 0 when the text's check holds (S and F taken, calibrated), else 255 and nothing changes.
int swiper1_modem_apply_speed_string(std::string_view text);

}  // namespace nvx::reader
