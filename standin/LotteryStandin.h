// The lottery server's stand-in: answers the binary lottery messages POSTed to "/360/service"
// (the login and queries) and "/360/iosService" (bet orders) on 127.0.0.1 (HTTP or HTTPS).
//
// Like the real server it reads every request with its own reader: the code, the header, the
// message's fields in their order (enciphered fields deciphered with AES-128-ECB under its key)
// and the trailer, whose MD5 it recomputes over the request and its salt. A request it cannot
// read, with a wrong digest or on the wrong path is refused with the status 3000.
//
// Messages it answers: 1505 (login: accepted when the password is the lottery's fixed one),
// 1213 (top-up order: 2213, or as the scenario says), 1524 (bet order: accepted) and 1301 (the
// hall: the status and an empty message).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Status.h"
#include "standin/HttpStandin.h"
#include "standin/TestCertificates.h"

namespace standin {

class LotteryStandin final : public StandinServer {
 public:
  static constexpr std::string_view kServicePath = "/360/service";
  static constexpr std::string_view kIosServicePath = "/360/iosService";
  // The server's field key and digest salt.
  static constexpr std::string_view kCodecKey = "pzkwmrtvbnqhxlcj";
  static constexpr std::string_view kSalt = "user@example.com";
  static constexpr std::string_view kHeader = "00001000000";
  static constexpr std::string_view kLotteryPassword = "390857";
  static constexpr int kRefused = 3000;

  // How the server answers a top-up order (1213).
  enum class TopUpAnswer {
    Normal,       // 2213 with the order
    Refused,      // 3000
    Truncated,    // the 2213 reply cut off inside its fields
    OverlongMac,  // a 2213 reply whose MAC length counts more bytes than the reply holds
  };

  // The order a 2213 reply carries; the amount is the request's, in fen.
  struct Order {
    std::string merId = "898000000000001";
    std::string orderId = "JVQ20240101000001";
    std::string minCode = "MC01";
    int codeType = 1;
    std::string codeSign = std::string(300, 'A');  // longer than one length byte can count
    std::string interfaceType = "2.0";
    std::string randomNumber = "93847561";
  };

  // The lottery account a login reply carries.
  struct Account {
    std::string uid = "70001";
    std::string userName = "lottery-user";
    std::string trueName = "张三";
    int sex = 1;
    std::string personId = "110101199001011234";
    std::string phone = "13800000000";
    std::string balance = "120.50";
    std::string cash = "100.00";
    std::string prize = "20.50";
    std::string withdrawable = "100.00";
    std::string frozen = "0.00";
  };

  struct Settings {
    std::string key{kCodecKey};
    std::string salt{kSalt};
    std::optional<TestCertificates> tls;  // serve HTTPS with these when set
    Order order;
    Account account;
  };

  // One request as the server read it.
  struct Message {
    std::string path;
    int code = -1;                    // -1 when the request was too short to hold one
    std::string header;
    std::vector<std::string> fields;  // texts as sent (x1 deciphered), numbers as decimal text
    bool digestOk = false;
    std::string error;                // why it was refused; empty when it was answered
  };

  LotteryStandin() : LotteryStandin(Settings{}) {}
  explicit LotteryStandin(Settings settings);
  ~LotteryStandin() override;

  // The client's lottery base address: baseUrl().
  std::string baseAddress() const { return baseUrl(); }

  void setTopUpAnswer(TopUpAnswer answer);
  std::vector<Message> messages() const;

  // The bytes of the replies, for tests that feed them to a reader directly.
  std::string topUpReply(std::string_view amountYuan, TopUpAnswer answer) const;
  std::string loginReply(bool accepted) const;

  // Yuan as decimal text ("100", "100.5", "100.00") to fen; nothing for anything else.
  static std::optional<int64_t> fenOfYuan(std::string_view yuan);

  struct State;

 private:
  HttpStandin::Reply answer(const HttpStandin::Request& request);

  Settings settings_;
  std::shared_ptr<State> state_;
};

}  // namespace standin
