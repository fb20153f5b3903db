// A simulated card reader of the models "0003" to "0006" in the headset socket: a
// platform::media::Peer that hears the phone's commands and answers on the microphone, both
// decoded and made here on their own, so that the phone's modem is tested end to end.
//
// What it hears (48,000 frames/s): the phone holds the two channels at opposite extremes; the
// reader listens to the left one (the right one when it is wired the other way round, which
// makes it hear the phone's inverted repeat instead of the first copy). Each byte comes as 5
// frames low (start), 8 bits least significant first at 5 frames each (high = 1), 5 frames of
// even parity, then at least 30 frames high; three 0xBD bytes start a frame, then two code bytes
// per frame byte carry its nibbles (each bit as the pair 10 for 1 or 01 for 0). The frame is
// A5, length, data, CRC-8/MAXIM, 5A. The reader is powered while it hears the phone; it wakes on
// 50 cycles or more of the 2,400 Hz tone and loses power (and forgets everything) after 20 ms of
// silence.
//
// What it says: Manchester half-cells of 104 us (5 samples), a sync of 40 alternating half-cells
// and one more half-cell that lengthens the first bit's first half, then per byte 8 bits most
// significant first and an even parity bit, then 9 padding bits; a 1 is high then low, a 0 low
// then high. Its answers:
//   the start command 3D 00 (when awake): its serial-number reply (type ':', the KSN at index 5),
//   20 ms later; once it is said, the reader is armed for a swipe;
//   a swipe while armed: the card message (type ']').
// A raw-stripe reader instead plays a swipe's track 2 as the stripe's flux (F2F), whenever it is
// swiped, forwards or backwards.
//
// The test card's encrypted track block is part of the card as the test gives it; the reader does
// not encipher.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/media/Peer.h"
#include "standin/LineNoise.h"

namespace standin {

using Bytes = std::vector<uint8_t>;

struct Reader0003Card {
  std::string pan;     // decimal digits
  std::string expiry;  // 4 digits as the card holds them ("2512")
  Bytes encryptedTracks;
  uint8_t track1Length = 0;
  uint8_t track2Length = 0;
  uint8_t track3Length = 0;

  static Reader0003Card testCard();
  // Track 2 of the card as the stripe holds it: ';', the number, '=', the expiry, service code and
  // discretionary data, '?'.
  std::string track2() const;
};

class SimulatedReader0003 final : public platform::media::Peer {
 public:
  struct Config {
    Bytes ksn{0x60, 0x03, 0x20, 0x15, 0x11, 0x00, 0x00, 0x27};
    double amplitude = 0.5;          // of full scale, at the phone's microphone
    double noiseRms = 0.0;           // white noise on the microphone line (full scale 1)
    double clockError = 0.0;         // +0.02: the reader's clock runs 2 % fast
    bool invertReplies = false;      // the reply reaches the phone inverted
    bool wiredReversed = false;      // hears the right channel
    bool raw = false;                // passes the raw stripe and answers nothing
    bool randomAllFF = false;        // the card message's first random field is all FF
    uint64_t seed = 1;
  };

  static constexpr double kRate = 48000;
  static constexpr double kHalfCellMicros = 1e6 / 9600;  // 5 samples at 48 kHz
  static constexpr int kSyncHalfCells = 40;
  static constexpr int kPaddingBits = 9;

  SimulatedReader0003();
  explicit SimulatedReader0003(Config config);

  // --- Peer (the audio engine's thread) ---
  void hear(std::span<const float> left, std::span<const float> right, double rate) override;
  void speak(std::span<float> mic, double rate) override;

  // --- the user and the test (any thread) ---
  // The user swipes a card: answered with the card message when armed. False when not armed.
  // A raw-stripe reader plays the card's track 2 whatever its state (backwards: the other way).
  bool swipe(const Reader0003Card& card = Reader0003Card::testCard(), bool backwards = false);
  // While armed, the next swipe answers with this message instead (a whole frame).
  bool swipeWithMessage(Bytes message);
  // Says a message (a whole frame, sent as it stands) at once.
  void say(Bytes message);
  // The next start commands are not answered.
  void ignoreStartCommands(int count);
  // The exact message answering the next start commands (nothing: the KSN reply).
  void setKsnReply(std::optional<Bytes> message);
  void setSilent(bool silent);
  void setAmplitude(double amplitude);
  void setNoise(double rms);
  void setInvertReplies(bool invert);

  bool isArmed() const;
  bool isAwake() const;
  bool isPowered() const;
  int startCommandsHeard() const;
  int wakeUpsHeard() const;
  // Frames heard whose check held, their data in order.
  std::vector<Bytes> commands() const;
  // The random number of the last card message.
  std::array<uint8_t, 8> lastRandom() const;

  // --- the signals (tests, benches) ---
  static uint8_t crc8(std::span<const uint8_t> bytes);
  static Bytes frame(std::span<const uint8_t> data);
  // ':' reply: type, 0x00, the KSN.
  static Bytes ksnReply(std::span<const uint8_t> ksn);
  // ';' reply: type, 0x00, 12 filler bytes, the KSN.
  static Bytes ksnReplySecondLayout(std::span<const uint8_t> ksn);
  // ']' message: type, 0x00, KSN, random (after 8 bytes of FF when randomAllFF), the card number's
  // length, H = 10, its first 6 digits (3 BCD bytes), last 4 (2), expiry (2), the three track
  // lengths, the encrypted tracks.
  static Bytes cardMessage(const Reader0003Card& card, std::span<const uint8_t> ksn,
                           std::span<const uint8_t> random, bool randomAllFF);
  // Half-cell levels (+1, -1) of a message, sync and padding included.
  static std::vector<int> replyHalfCells(std::span<const uint8_t> message);
  // Appends the message as it leaves the reader at `rate` (levels of +-amplitude, the reader's
  // clock off by clockError: its half-cells last 1/(1 + clockError) as long; invert: the line
  // reaches the phone the other way round).
  static void renderReply(std::span<const uint8_t> message, double rate, double amplitude, double clockError,
                          bool invert, std::vector<float>& out);
  // The F2F bits of a track 2 text (';' ... '?'): 25 zeros, each character (4 bits least
  // significant first and odd parity), the LRC, 25 zeros.
  static std::string stripeBits(std::string_view track);
  // The stripe's flux level, smoothed, for a swipe whose speed grows by `acceleration` over it:
  // `bitSamples` samples per bit at the start.
  static void renderStripe(std::string_view track, bool backwards, double bitSamples, double acceleration,
                           double amplitude, std::vector<float>& out);

 private:
  void sample(float x, double rate);
  void powerLost();
  void uartByte(uint8_t byte, int64_t start);
  void command(const Bytes& data, double rate);
  void sayLocked(const Bytes& message, double rate, double gapMicros);

  mutable std::mutex mutex_;
  Config config_;
  bool silent_ = false;
  bool powered_ = false;
  bool awake_ = false;
  bool armed_ = false;
  bool armWhenSaid_ = false;
  int ignoreStarts_ = 0;
  std::optional<Bytes> ksnReply_;
  std::optional<Bytes> swipeMessage_;
  std::array<uint8_t, 8> lastRandom_{};
  int startCommands_ = 0;
  int wakeUps_ = 0;
  std::vector<Bytes> commands_;

  // hearing
  double rate_ = kRate;
  std::optional<platform::TimePoint> lastHeard_;
  int64_t clock_ = 0;         // samples heard
  size_t silentRun_ = 0;
  bool high_ = false;
  size_t levelRun_ = 0;
  size_t toneRun_ = 0;        // half-cycles of the 2,400 Hz tone in a row
  bool inByte_ = false;
  int bytePos_ = 0;
  int64_t byteStart_ = 0;
  std::array<bool, 11> byteBits_{};
  Bytes codes_;
  int64_t lastCodeStart_ = 0;
  // speaking
  std::deque<float> out_;
  double lowpass_ = 0;
  LineNoise noise_;
};

}  // namespace standin
