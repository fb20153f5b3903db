// Fuzzes what the Wi-Fi reader box sends over its command link. The input is a byte stream cut
// into receptions; every reply cut out of it goes to the driver, which waits for a card read (or
// a serial-number read), and the driver's events for it must be exactly those its bytes call
// for: a result for a good card reply, decode error 2 or 1 for a malformed or failed-check reply
// during a card read, -3 during a serial-number read, -1 for an unknown status, and nothing for a
// reply to the command not asked or one shorter than 7 bytes.
//
// Input: byte 0 chooses the request (bit 7: serial-number read) and the reception size (bits
// 0-3, 0 = the whole rest at once); the rest is the stream.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/NetConfig.h"
#include "reader/testing/DriverEventRecorder.h"
#include "reader/wifi/SocketEngine.h"
#include "reader/wifi/WexProtocol.h"
#include "reader/wifi/WexSwiperController.h"

namespace {

using nvx::reader::Bytes;
using nvx::reader::WexSwiperController;
using nvx::reader::testing::DriverEvent;
using nvx::reader::testing::DriverEventRecorder;

constexpr const char* kKsn = "0011223344556677";

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "wex_reply_fuzzer: %s\n", what.c_str());
  std::abort();
}

// The events a whole reply calls for, worked out from its bytes alone. One rule: the driver takes
// only a reply to the command it sent (the card command during a card read, the serial-number
// command during a serial-number read); a reply too short to be one, or a serial-number or card
// reply to the other command, raises nothing.
std::vector<std::string> expectedEvents(const Bytes& f, bool cardRead) {
  std::vector<std::string> out;
  if (f.size() == 6) {  // the outcome replies, looked at by their fourth byte only
    if (f[3] == 0x03 && cardRead) out = {"onCardSwipeDetected", "onDecodingStart", "onDecodeError:0"};
    if (f[3] == 0x02 && cardRead) out = {"onTimeout"};
    return out;
  }
  if (f.size() < 7) return out;
  if (cardRead) out = {"onCardSwipeDetected", "onDecodingStart"};
  size_t i = 0;
  while (i < f.size() && f[i] != 0x55) ++i;
  bool malformed = i + 2 > f.size() || f[i + 1] < 2 || f.size() - i < size_t(f[i + 1]) + 4;
  if (malformed) {
    out.push_back(cardRead ? "onDecodeError:2" : "onError:-3");
    return out;
  }
  size_t l = f[i + 1];
  uint8_t check = 0x5A ^ static_cast<uint8_t>(l);
  for (size_t k = i + 2; k < i + l + 2; ++k) check ^= f[k];
  if (f[i + l + 2] != 0x0F || f[i + l + 3] != check) {
    out.push_back(cardRead ? "onDecodeError:1" : "onError:-3");
    return out;
  }
  uint8_t sw1 = f[i + 2];
  const uint8_t asked = cardRead ? 0x0A : 0x03;
  if ((sw1 == 0x0A || sw1 == 0x03) && sw1 != asked) return {};
  size_t dataLength = l - 2;
  if (sw1 == 0x0A) out.push_back(dataLength >= 25 ? "onDecodeCompleted" : "onDecodeError:2");
  else if (sw1 == 0x03) out.push_back("onGetKsnCompleted");
  else if (sw1 != 0x02 && sw1 != 0x08) out.push_back("onError:-1");
  return out;
}

std::string describe(const DriverEvent& e) {
  if (e.name == "onDecodeError" || e.name == "onError") return e.name + ":" + std::to_string(e.value);
  return e.name;
}

bool isHex(const std::string& s) { return s.find_first_not_of("0123456789ABCDEF") == std::string::npos; }

// Stands between the fuzzer's link engine and the driver: primes the driver before each reply
// and checks what it raised.
class Checker : public nvx::reader::SocketEngineDelegate {
 public:
  std::shared_ptr<WexSwiperController> driver;
  std::shared_ptr<DriverEventRecorder> events;
  bool ksnRead = false;

  void onSocketDidConnect() override {}
  void onSocketWillDisconnectWithError(const platform::net::NetError&) override {}
  void onSocketDidDisconnect() override {}
  void dataSendCompletedWithTag(long) override {}
  void engineCallbackError(const std::string&) override {}
  void engineOnTimeOut() override { reply(Bytes{0x55, 0x02, 0x0A, 0x02, 0x0F, 0x00}, [&] { driver->engineOnTimeOut(); }); }
  void engineOnSwipCardFailed() override {
    reply(Bytes{0x55, 0x02, 0x0A, 0x03, 0x0F, 0x00}, [&] { driver->engineOnSwipCardFailed(); });
  }
  void dataReceivedWithData(const Bytes& data) override {
    if (data.size() == 6 || data.size() > nvx::reader::WexProtocol::kMaxReplyLength)
      fail("the engine handed on a reply of " + std::to_string(data.size()) + " bytes");
    reply(data, [&] { driver->dataReceivedWithData(data); });
  }

 private:
  template <class F>
  void reply(const Bytes& frame, F deliver) {
    driver->beginRequestForTesting(ksnRead ? WexSwiperController::kCommandKsn : WexSwiperController::kCommandCard,
                                   ksnRead ? "" : kKsn);
    events->clear();
    deliver();
    std::vector<std::string> seen;
    for (const auto& e : events->events) seen.push_back(describe(e));
    auto expected = expectedEvents(frame, !ksnRead);
    if (seen != expected) {
      std::string text = "events differ:";
      for (auto& s : seen) text += " " + s;
      text += " / expected:";
      for (auto& s : expected) text += " " + s;
      fail(text);
    }
    if (const DriverEvent* r = events->last("onDecodeCompleted")) {
      const auto& c = r->card;
      if (c.ksn != kKsn || c.randomNumber.size() != 16 || !isHex(c.randomNumber) || !isHex(c.encTracks) ||
          c.maskedPAN.size() > 20 || c.maskedPAN.find_first_not_of("0123456789ABCDEF*") != std::string::npos ||
          c.expiryDate.size() > 4 || c.formatID || c.cardHolderName)
        fail("a card result with impossible fields");
    }
    if (events->endEvents() > 1) fail("more than one end event for one reply");
    if (events->endEvents() == 1 && driver->getCSwiperState() != 0) fail("busy after the end event");
  }
};

// Made once and never destroyed: the process's single objects may be gone at exit.
std::shared_ptr<Checker>* gCheckerHolder = nullptr;
Checker* gChecker = nullptr;
nvx::reader::SocketEngine* gEngine = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::ignoreSigpipe();
  auto& net = platform::net::NetConfig::current();
  net.useLoopbackNetwork();
  net.heartbeatPort = 0;  // any free port: the heartbeat plays no part here
  gCheckerHolder = new std::shared_ptr<Checker>(std::make_shared<Checker>());
  gChecker = gCheckerHolder->get();
  gChecker->driver = WexSwiperController::sharedInstance();
  gChecker->events = std::make_shared<DriverEventRecorder>();
  gChecker->events->driver = gChecker->driver;
  gChecker->driver->setDelegate(gChecker->events);
  gChecker->driver->setSwipeTimeout(30.0);
  gEngine = new nvx::reader::SocketEngine(*gCheckerHolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  gChecker->ksnRead = (data[0] & 0x80) != 0;
  size_t chunk = data[0] & 0x0F;
  const uint8_t* stream = data + 1;
  size_t left = size - 1;
  gEngine->initReadData();
  while (left > 0) {
    size_t n = chunk == 0 ? left : std::min(chunk, left);
    // Each reception in a buffer of its own size, so that a read past it is caught.
    std::vector<uint8_t> reception(stream, stream + n);
    gEngine->checkReadCompleted(reception.data(), reception.size());
    stream += n;
    left -= n;
  }
  gChecker->driver->stopCSwiper();
  platform::RunLoop::main().runPending();  // the recorder's after-end checks
  return 0;
}
