// A simulated card reader of model "0008" in the headset socket: a platform::media::Peer that is
// powered by the tone on the right channel, hears the phone's command frames on the left channel
// and answers on the microphone, both signals made and read here on their own so that the
// phone's encoder and decoder are tested end to end.
//
// What it hears: biphase cells of 18 samples at 44,100 samples/s (a zero one interval between
// level changes, a one two half intervals), least significant bit first, the frame starting at
// the first one after the zero cells: 8D 00 02 code 00 check (the XOR of all six is 0). It
// answers only while the power tone is on; without the tone (or when the phone has played
// nothing for a while) it forgets an armed card read and what it was saying.
//
// What it says: biphase with a half cell of 44,100 / 4,800 = 9.1875 samples (a 1 two half-cell
// intervals, a 0 one full-cell interval), at ±12,000 of full scale by default, most significant
// bit first: 24 zero symbols, the frame 8F len16 code data check (the XOR of every byte is 0),
// one closing half cell, then silence.
// Its answers: 0x21 -> the KSN (8F 00 09 21 KSN8 check); 0x22 -> exactly 8F 00 02 22 00 AF, and
// it is armed; a swipe while armed -> 0x23 with the card payload; 0x23 and 0x25 disarm it
// silently; any other code is not answered.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/media/Peer.h"
#include "standin/LineNoise.h"

namespace standin {

using Bytes = std::vector<uint8_t>;

struct Reader0008Card {
  uint8_t status = 0;          // 0: the card was read
  Bytes formatId;
  std::string pan;             // ASCII digits, sent whole (the phone masks it)
  Bytes encryptedTracks;       // at most 127 bytes
  uint8_t track1Length = 0;
  uint8_t track2Length = 0;
  uint8_t track3Length = 0;
  std::string expiry;          // 4 characters ("2512")
  std::string holderName;      // UTF-8, at most 127 bytes

  static Reader0008Card testCard();
};

class SimulatedReader0008 final : public platform::media::Peer {
 public:
  static constexpr double kRate = 44100.0;
  static constexpr double kHalfCell = 44100.0 / 4800.0;
  static constexpr int kLeadInSymbols = 24;

  struct Config {
    Bytes ksn{0x88, 0x80, 0x20, 0x13, 0x06, 0x01, 0x00, 0x08};
    double amplitude = 12000.0 / 32768.0;   // of full scale, at the phone's microphone
    double noiseRms = 0.0;                  // white noise on the microphone line (full scale 1)
    bool invertPolarity = false;
    double hearingThreshold = 0.25;         // quieter phone output is not heard
    double answerGapSeconds = 0.02;         // after the command
    uint64_t seed = 1;
  };

  SimulatedReader0008();
  explicit SimulatedReader0008(Config config);

  // --- Peer (the audio engine's thread) ---
  void hear(std::span<const float> left, std::span<const float> right, double rate) override;
  void speak(std::span<float> mic, double rate) override;

  // --- the user and the test (any thread) ---
  // The user swipes a card: answered when a card read is armed. False when none is.
  bool swipe(const Reader0008Card& card = Reader0008Card::testCard());
  bool isArmed() const;
  bool isPowered() const;
  void setKsn(Bytes ksn);
  void setAmplitude(double amplitude);
  void setNoise(double rms);
  void setInvertPolarity(bool invert);
  // Says nothing at all.
  void setSilent(bool silent);
  // The next reply is these frame bytes exactly (whatever the command or swipe).
  void setNextFrame(Bytes frame);
  // The next `count` replies carry a wrong check byte.
  void corruptReplies(int count);
  // The next reply's length field claims two bytes more than the frame holds.
  void shortenNextReply();
  // The next reply stops halfway through its signal.
  void cutNextReply();
  // Noise of `rms` (full scale 1) on the line for `seconds`, then quiet again.
  void sayNoise(double seconds, double rms);

  // --- what happened (tests) ---
  // The codes of the commands heard whole and checked, in order.
  std::vector<uint8_t> commands() const;
  // Frames that were heard but did not check.
  int badCommands() const;
  // The frames said, in order.
  std::vector<Bytes> said() const;
  std::array<uint8_t, 8> lastRandom() const;

  // --- the signals (tests, benches) ---
  static Bytes frame(uint8_t code, std::span<const uint8_t> data);
  static Bytes cardPayload(const Reader0008Card& card, std::span<const uint8_t> ksn, std::span<const uint8_t> random);
  // Interval lengths in samples: lead-in zeros, the bytes most significant bit first, the closing
  // half cell.
  static std::vector<double> replyIntervals(std::span<const uint8_t> bytes, int leadIn = kLeadInSymbols);
  // Appends the intervals as levels ±amplitude at `rate` (the reader's clock off by clockError:
  // its intervals last 1/(1 + clockError) as long); the first level is positive unless inverted.
  static void render(std::span<const double> intervals, double rate, double amplitude, double clockError,
                     bool invert, std::vector<float>& out);

 private:
  void sampleHeard(float x);
  void burstEnded();
  void command(uint8_t code);
  void say(Bytes frame);

  mutable std::mutex mutex_;
  Config config_;
  bool silent_ = false;
  bool armed_ = false;
  bool powered_ = false;
  std::optional<platform::TimePoint> lastHeard_;
  std::optional<Bytes> nextFrame_;
  int corruptReplies_ = 0;
  bool shortenNext_ = false;
  bool cutNext_ = false;
  double noiseLeft_ = 0;     // samples of extra noise still to come
  double extraNoise_ = 0;
  std::array<uint8_t, 8> lastRandom_{};

  // hearing
  int level_ = 0;
  size_t run_ = 0;
  size_t quiet_ = 0;
  std::vector<size_t> intervals_;
  // speaking
  std::deque<float> out_;
  LineNoise noise_;

  std::vector<uint8_t> commands_;
  int badCommands_ = 0;
  std::vector<Bytes> said_;
};

}  // namespace standin
