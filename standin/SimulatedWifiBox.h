// A simulated Wi-Fi card-reader box on loopback, driven on the main run loop: it announces
// itself every second with heartbeat datagrams ("NVX_IDT_TAVi-0", "-1" while busy) to the
// phone's presence and heartbeat ports, takes command frames on its TCP port, answers the
// serial-number command with its KSN and, once a card read is asked for, answers a swipe with the
// card's framed data. Tests and the simulator make it misbehave: bad or odd replies, silence, a
// dropped link, a busy or silent box.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Status.h"
#include "platform/net/TcpSocket.h"
#include "platform/net/UdpSocket.h"

namespace standin {

using Bytes = std::vector<uint8_t>;

// A test card as the box reads it. The box does not encipher: the encrypted track block is
// part of the card as the test gives it.
struct WifiBoxCard {
  std::string pan;         // decimal digits, at most 20
  std::string expiry;      // 4 characters, such as "2512"
  Bytes encryptedTracks;
  uint8_t track1Length = 0;
  uint8_t track2Length = 0;
  uint8_t track3Length = 0;

  static WifiBoxCard testCard();
};

class SimulatedWifiBox {
 public:
  // The shape of a reply the box sends.
  enum class Reply {
    Normal,
    Malformed,       // no reply start byte at all
    LengthOne,       // a 7-byte reply holding a frame whose length byte is 1
    ShortCardData,   // a well-formed card reply whose data is too short for the card fields
    OverLong,        // the longest reply (259 bytes, a long track block) with stray bytes after it
    CheckFailed,     // a wrong check byte
    BadEndByte,      // the byte before the check is not 0F
    Unknown,         // a well-formed reply with a status the phone does not know
    SwipeFailed,     // the 6-byte "swipe failed" outcome (card replies only)
    Silent,          // no reply
    DropLink,        // the box closes the link instead of answering
  };

  struct Config {
    std::string address = "127.0.0.1";       // the box (the phone's gateway)
    std::string phoneAddress = "127.0.0.2";  // where its heartbeats go
    // A port of 0: any free one, taken when the box binds and kept for its life.
    uint16_t presencePort = 9890;
    uint16_t heartbeatPort = 9889;
    uint16_t commandPort = 9888;
    // Writes the ports the box got into platform::net::NetConfig::current(), so that the phone's
    // sockets, made after, use them.
    bool publishPorts = false;
    Bytes ksn{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    double heartbeatInterval = 1.0;
  };
  // The loopback addresses and the ports of platform::net::NetConfig::current().
  static Config configFromNetConfig();
  // The loopback addresses on ports the box takes itself and publishes. Several runs at once
  // never meet: the box holds its ports from binding to its end, the phone's presence port too
  // (bound on the box's address, so that nobody else is handed it while the phone binds it on
  // its own).
  static Config onFreePorts();

  explicit SimulatedWifiBox(Config config = configFromNetConfig());
  ~SimulatedWifiBox();
  SimulatedWifiBox(const SimulatedWifiBox&) = delete;
  SimulatedWifiBox& operator=(const SimulatedWifiBox&) = delete;

  // Binds the datagram sockets (heartbeats and, on free ports, the presence port held for the
  // phone) and keeps them; the config then holds the ports got. start() does it when not done.
  platform::Status bindPorts();
  // Listens on the command port, sends the first heartbeat at once and then one every interval.
  platform::Status start();
  // Powers off: no heartbeats, the link and the command port closed; datagrams that reach it are
  // ignored.
  void stop();

  void setBusy(bool busy) { busy_ = busy; }
  // A box that keeps its link but stops announcing itself (and starts again).
  void setHeartbeating(bool on) { heartbeating_ = on; }
  void setKsn(Bytes ksn) { config_.ksn = std::move(ksn); }
  // How the box answers the serial-number command, and a swipe during a card read (both kept
  // until changed).
  void setKsnReply(Reply reply) { ksnReply_ = reply; }
  void setCardReply(Reply reply) { cardReply_ = reply; }
  // The exact bytes of the next reply, whatever it answers (then the shapes apply again).
  void setNextReplyBytes(Bytes bytes) { nextReply_ = std::move(bytes); }
  // The random number of the next swipe (else a new one per swipe).
  void setNextRandom(std::array<uint8_t, 8> random) { nextRandom_ = random; }

  // The user swipes a card: answered when a card read is waiting. False when none is.
  bool swipe(const WifiBoxCard& card = WifiBoxCard::testCard());
  // The box gives up waiting for the swipe (the 6-byte time-out outcome). False when no card
  // read is waiting.
  bool timeOut();
  // Closes the phone's link now.
  void dropLink();
  // Sends raw bytes on the phone's link (false without a link).
  bool sendRaw(const Bytes& bytes);

  bool isRunning() const { return running_; }
  bool isArmed() const { return armed_; }
  bool isLinked() const { return link_ != nullptr; }
  // Command codes received, in order, over all links.
  const std::vector<uint8_t>& commands() const { return commands_; }
  int connectionsAccepted() const { return connections_; }
  int heartbeatsSent() const { return heartbeatsSent_; }
  // "NVX_IDT_TAVi-3" datagrams heard from the phone.
  int phoneHeartbeats() const { return phoneHeartbeats_; }
  const std::array<uint8_t, 8>& lastRandom() const { return lastRandom_; }
  const Config& config() const { return config_; }

  // --- frames, as the phone expects them ---
  // 55 L SW1 SW2 data 0F check.
  static Bytes frame(uint8_t sw1, uint8_t sw2, const Bytes& data);
  // The data part of a card reply.
  static Bytes cardData(const WifiBoxCard& card, const std::array<uint8_t, 8>& random);

 private:
  void heartbeat();
  void accepted(std::unique_ptr<platform::net::TcpSocket> link);
  void received(const std::string& bytes);
  void command(uint8_t code);
  void answer(Reply shape, uint8_t sw1, const Bytes& data);
  std::array<uint8_t, 8> newRandom();

  Config config_;
  bool running_ = false;
  bool busy_ = false;
  bool heartbeating_ = true;
  bool armed_ = false;
  Reply ksnReply_ = Reply::Normal;
  Reply cardReply_ = Reply::Normal;
  std::optional<Bytes> nextReply_;
  std::optional<std::array<uint8_t, 8>> nextRandom_;
  std::array<uint8_t, 8> lastRandom_{};
  uint32_t swipes_ = 0;
  void publish() const;

  std::unique_ptr<platform::net::UdpSocket> udp_;
  std::unique_ptr<platform::net::UdpSocket> presenceHold_;
  std::unique_ptr<platform::net::TcpSocket> listener_;
  std::unique_ptr<platform::net::TcpSocket> link_;
  Bytes pending_;  // command bytes received and not yet whole
  std::vector<uint8_t> commands_;
  int connections_ = 0;
  int heartbeatsSent_ = 0;
  int phoneHeartbeats_ = 0;
  platform::TimerId heartbeatTimer_ = 0;
};

}  // namespace standin
