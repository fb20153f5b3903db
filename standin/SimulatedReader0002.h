// A simulated card reader of model "0002" in the headset socket: a platform::media::Peer that
// hears the phone's square-wave bursts and answers on the microphone with the family's interval
// signal, both decoded and made here on their own, so that the phone's modem is tested end to end.
//
// What it hears: a burst is a square wave whose half-cycles carry the bits; the reader finds the
// preamble of 250 us half-cycles (6 of them: a speed probe; 12 or more: a frame or a signal),
// checks the 700 us and 2000 us marks, learns the half-bit S from the start mark (8 half-cycles
// of 1.5 S, the last one S longer) and reads each half-cycle as 1 below 1.25 S, 0 above, 9 per
// byte with odd parity. A run of 100 or more 500 us half-cycles is the wake tone: the reader
// answers nothing until it has heard one, and falls asleep again after a while without a command
// (unless a card read is armed).
//
// What it says, as intervals between level changes: a preamble of 18 intervals of 500 us, three
// of 1000 us, then per byte 8 intervals, most significant bit first (a 1 lasts (17F + F/3 + 9)/2
// us for the speed code F, a 0 twice that) and a parity interval that makes the count of 1s odd.
// Its answers:
//   speed probe FF 00 AA 55 with S at least its minimum: a long tone (64 intervals of 500 us);
//   any other probe: a refusal (the single byte 02);
//   03 F: learns F and answers the calibration pattern (9 short, 8 long, then long and short
//   alternating);
//   a frame (00, length, payload, XOR check) that checks: the single byte 01, then the command's
//   reply frame; one that does not check, or a burst it cannot read: the resend request 02;
//   the resend request 02: its last reply frame again.
// Commands: E1 06 02 (device information): the KSN and 90 00; E1 06 03: 90 00; E1 02 86 03 09 01
// with 8 random bytes (read card): armed, the card reply follows a swipe; E1 03 02 (stop the
// read): disarmed, 90 00; anything else: 6D 00.
//
// The test card's encrypted track block is part of the card as the test gives it; the reader
// does not encipher.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/media/Peer.h"
#include "standin/LineNoise.h"
#include "standin/LockedFields.h"

namespace standin {

using Bytes = std::vector<uint8_t>;

struct Reader0002Card {
  std::string pan;     // decimal digits; the reply carries the first 6 and the last 4
  std::string expiry;  // 4 digits as the card holds them ("2512")
  Bytes encryptedTracks;
  uint8_t track2Length = 0;
  uint8_t track3Length = 0;

  static Reader0002Card testCard();
};

class SimulatedReader0002 final : public platform::media::Peer, private LockedFields {
 public:
  struct Config {
    Bytes ksn{0xCB, 0xC3, 0x20, 0x13, 0x06, 0x01, 0x00, 0x42};
    // The shortest half-bit the reader resolves: probes with a shorter S are refused and frames
    // with a shorter S cannot be read.
    double minimumHalfBitMicros = 60.0;
    double amplitude = 0.5;       // of full scale, at the phone's microphone
    double noiseRms = 0.0;        // white noise on the microphone line (full scale 1)
    double clockError = 0.0;      // +0.02: the reader's clock runs 2 % fast
    bool invertPolarity = false;  // the line reaches the phone inverted
    double hearingThreshold = 0.05;   // quieter phone output is not heard
    double sleepAfterSeconds = 10.0;  // without a command (and not armed): asleep again
    uint64_t seed = 1;
  };

  // What the reader said, in order (tests).
  enum class Said { Acknowledge, ResendRequest, LongTone, Refusal, Pattern, Reply };
  struct Utterance {
    Said what;
    Bytes payload;  // Reply: the frame's payload
    int code = 0;   // Pattern: the speed code
  };

  SimulatedReader0002();
  explicit SimulatedReader0002(Config config);

  // --- Peer (the audio engine's thread) ---
  void hear(std::span<const float> left, std::span<const float> right, double rate) override;
  void speak(std::span<float> mic, double rate) override;

  // --- the user and the test (any thread) ---
  // The user swipes a card: answered when a card read is armed. False when none is.
  bool swipe(const Reader0002Card& card = Reader0002Card::testCard());
  bool isArmed() const;
  bool isAwake() const;
  // The signal strength, noise and clock of the line from now on.
  void setAmplitude(double amplitude);
  void setNoise(double rms);
  void setClockError(double error);
  void setInvertPolarity(bool invert);
  void setMinimumHalfBitMicros(double micros);
  void setKsn(Bytes ksn);
  // The KSN reported until the second-form device-information command has been heard.
  void setFirstKsn(Bytes ksn);
  // The exact payload of the next reply frame, whatever it answers (a command or a swipe).
  void setNextReply(Bytes payload);
  // The next `count` reply frames (resent ones included) carry a wrong check byte.
  void corruptReplies(int count);
  // The next reply frame stops halfway through.
  void cutNextReply();
  // The next `count` frames heard lose a bit on the line (their check then fails).
  void corruptHeard(int count);
  // Says nothing at all.
  void setSilent(bool silent);

  // --- what happened (tests) ---
  std::vector<Utterance> said() const;
  // Payloads of the frames heard that checked, in order.
  std::vector<Bytes> commands() const;
  int speedCode() const;         // F as learnt (7 until calibrated)
  double halfBitMicros() const;  // S of the last burst read, in the reader's microseconds
  int wakeTonesHeard() const;
  int probesHeard() const;
  std::array<uint8_t, 8> lastRandom() const;

  // --- the signals (tests, benches) ---
  static double oneMicros(int F);
  // Interval lengths (microseconds of the reader's clock).
  static std::vector<double> replyIntervals(std::span<const uint8_t> bytes, int F);
  static std::vector<double> longToneIntervals();
  static std::vector<double> patternIntervals(int F);
  // Appends intervals as a signal of levels +-amplitude at `rate`, with the reader's clock off
  // by clockError (its intervals last 1/(1 + clockError) as long). The first level is positive
  // unless inverted; the level changes between intervals, and the line goes quiet after the last
  // (so the replies end with one extra interval that only closes the one before it).
  static void render(std::span<const double> intervalsMicros, double rate, double amplitude, double clockError,
                     bool invert, std::vector<float>& out);
  // 00, length, payload, XOR.
  static Bytes frame(std::span<const uint8_t> payload);
  // The card reply payload: BCD PAN 6 + 4, expiry, track lengths, the encrypted block, 90 00.
  static Bytes cardReply(const Reader0002Card& card);

 private:
  struct Heard;
  void sampleHeard(float x, double rate);
  void burstEnded(double rate);
  void handle(const Heard& heard, double rate);
  void command(std::span<const uint8_t> payload, double rate);
  void sayBytes(Said what, const Bytes& bytes, double rate, double gapMicros);
  void sayReply(Bytes payload, double rate, double gapMicros);
  void sayIntervals(const std::vector<double>& intervals, double rate, double gapMicros);
  Config config_;
  bool silent_ = false;
  bool awake_ = false;
  bool armed_ = false;
  bool secondFormHeard_ = false;
  int F_ = 7;
  double S_ = 0;
  std::optional<Bytes> firstKsn_;
  std::optional<Bytes> nextReply_;
  int corruptReplies_ = 0;
  bool cutNextReply_ = false;
  int corruptHeard_ = 0;
  Bytes lastReply_;
  std::array<uint8_t, 8> lastRandom_{};

  // hearing
  int level_ = 0;
  size_t run_ = 0;
  size_t silence_ = 0;
  size_t idle_ = 0;
  std::vector<double> halfCycles_;
  double rate_ = 176400.0;  // of the phone's audio, as last heard
  // speaking
  std::deque<float> out_;
  double lowpass_ = 0;
  LineNoise noise_;

  std::vector<Utterance> said_;
  std::vector<Bytes> commands_;
  int wakeTones_ = 0;
  int probes_ = 0;
};

}  // namespace standin
