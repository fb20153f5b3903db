// A simulated card reader of model "0001" in the headset socket: a platform::media::Peer that
// hears the phone's command tones and answers on the microphone in the family's Manchester code,
// both made here on their own (from what the phone accepts), so that the phone's capture, swipe
// tracking and decoder are tested end to end.
//
// What it hears: a tone on both channels alike; it tells the commands apart by frequency once
// the tone has ended (10 ms of quiet): 5 kHz is the swipe command, 2 kHz the KSN command.
// Anything else (other tones, the phone's command frames, whose channels differ) it ignores.
//
// What it says: Manchester at 2,000 bit/s (a 1 rises in the middle of its cell, a 0 falls),
// a preamble of 0s (a 2 kHz tone), a start bit 1, the packet most significant bit first, then
// the line holds its last level and settles back to zero over a few milliseconds (the reader's
// output coupling), so that the signal ends without a level change.
//   swipe command: the acknowledgement 06 01 00 CRC, 0.6 s after the tone began (after the
//     phone's 0.5 s delay); then it is armed: a swipe sends the card packet, or the test makes
//     it report F0 (its time-out), FF (an error) or another short report;
//   KSN command: the KSN reply 02 08 KSN CRC, 0.3 s after the tone began (after the phone's
//     0.2 s delay).
// Command replies and short reports have a 40 ms preamble, so that even with the phone's band-pass
// ringing on after them they stay at swipe power for at most 2 of the phone's 0.1 s buffers; a card packet has a 0.3 s preamble (the swipe itself),
// so it stays there for at least 3, and the whole packet ends within 1.1 s. The CRC is CRC-8
// with the polynomial 0x07 (initial 0, no reflection, no final XOR).
#pragma once
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

struct Reader0001Card {
  uint8_t format = 0x39;   // the packet type: 0x08, 0x06, 0x38, 0x36, 0x31, 0x34, 0x39 or 0x40
  std::string pan;         // decimal digits
  std::string expiry;      // 4 digits as the card holds them ("2512")
  std::string name;        // the name field (formats 0x08, 0x06, 0x38, 0x36, 0x31)
  Bytes ksn;               // 10 bytes (16 for format 0x39)
  Bytes random;            // 8 bytes (format 0x39)
  Bytes encryptedTracks;   // the encrypted block (padded with zeros or cut to the format's size)
  uint8_t track1Length = 0;
  uint8_t track2Length = 0;
  uint8_t track3Length = 0;

  static Reader0001Card testCard();
};

class SimulatedReader0001 final : public platform::media::Peer, private LockedFields {
 public:
  struct Config {
    Bytes ksn{0x20, 0x14, 0x06, 0x01, 0x00, 0x00, 0x12, 0x34};
    double amplitude = 0.5;          // of full scale, at the phone's microphone
    double noiseRms = 0.0;           // white noise on the microphone line (full scale 1)
    double clockError = 0.0;         // +0.02: the reader's clock runs 2 % fast
    bool invertPolarity = false;     // the line reaches the phone inverted
    double hearingThreshold = 0.05;  // quieter phone output is not heard
    double acknowledgeAfter = 0.6;   // seconds from the start of the swipe command's tone
    double ksnReplyAfter = 0.3;      // seconds from the start of the KSN command's tone
    double swipeGap = 0.5;           // seconds from a swipe (or after what is still being said)
    double replyPreamble = 0.04;
    double swipePreamble = 0.3;
    uint64_t seed = 1;
  };

  enum class Heard { SwipeCommand, KsnCommand };
  enum class Said { Acknowledge, KsnReply, CardPacket, Report };
  struct Utterance {
    Said what;
    Bytes packet;
  };

  SimulatedReader0001();
  explicit SimulatedReader0001(Config config);

  // --- Peer (the audio engine's thread) ---
  void hear(std::span<const float> left, std::span<const float> right, double rate) override;
  void speak(std::span<float> mic, double rate) override;

  // --- the user and the test (any thread) ---
  // A card swiped through the armed reader; false (and nothing said) when it is not armed.
  bool swipe(const Reader0001Card& card = Reader0001Card::testCard());
  // A one-byte report (F0, FF, FE, FD ...) instead of a card; false when not armed.
  bool report(uint8_t code);
  bool isArmed() const;
  // Whether everything said so far has been spoken.
  bool isQuiet() const;
  void setAmplitude(double amplitude);
  void setNoise(double rms);
  void setClockError(double error);
  void setInvertPolarity(bool invert);
  void setKsn(Bytes ksn);
  void setKsnReplyAfter(double seconds);
  void setAcknowledgeAfter(double seconds);
  // The next packet said has one data bit flipped (its CRC then fails).
  void flipBitInNextPacket();
  // The next packet said stops halfway through.
  void cutNextPacket();
  // Says nothing at all.
  void setSilent(bool silent);

  // --- what happened (tests) ---
  std::vector<Heard> heard() const;
  std::vector<Utterance> said() const;

  // --- the signals (tests, benches) ---
  static uint8_t crc8(std::span<const uint8_t> bytes);
  static Bytes acknowledge();
  static Bytes ksnReply(std::span<const uint8_t> ksn);
  static Bytes cardPacket(const Reader0001Card& card);
  // Appends a reply as a signal of levels +-1 at `rate`: the preamble of 0s (preambleSeconds of
  // them), the start bit, the bytes and the settling tail; the reader's clock is off by
  // clockError (its cells last 1/(1 + clockError) as long). bitCount limits the data bits sent
  // (a cut reply).
  static void render(std::span<const uint8_t> bytes, double preambleSeconds, double rate, double clockError,
                     std::vector<float>& out, std::optional<size_t> bitCount = std::nullopt);

 private:
  void toneEnded(double rate);
  void say(Said what, Bytes packet, double preambleSeconds, uint64_t dueSample, double rate);
  Config config_;
  bool silent_ = false;
  bool armed_ = false;
  bool flipNext_ = false;
  bool cutNext_ = false;

  // hearing
  uint64_t heardSamples_ = 0;
  bool inTone_ = false;
  uint64_t toneStart_ = 0;
  uint64_t toneLast_ = 0;
  uint64_t toneSamples_ = 0;
  uint64_t toneCrossings_ = 0;
  uint64_t toneMismatched_ = 0;
  int lastSign_ = 0;
  double rate_ = 44100.0;

  // speaking
  uint64_t spokenSamples_ = 0;
  std::deque<float> out_;
  LineNoise noise_;

  std::vector<Heard> heard_;
  std::vector<Utterance> said_;
};

}  // namespace standin
