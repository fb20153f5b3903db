#include "lottery/core/MStubBase.h"

#include <gtest/gtest.h>

#include <chrono>

#include "core/testing/TestSettingsBundle.h"
#include "lottery/core/LotteryReply.h"
#include "lottery/core/LotteryServerConfig.h"
#include "lottery/core/StaticVariable.h"
#include "lottery/core/TopUpOrder.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/HttpRequest.h"
#include "platform/testing/Settle.h"
#include "platform/testing/Testing.h"
#include "standin/LotteryStandin.h"
#include "standin/TestCertificates.h"

namespace nvx::lottery {
namespace {

using standin::LotteryStandin;
using Text = std::optional<std::string>;

// A screen that listens on every interface of the stub and writes down what it hears, in order.
class RecordingScreen : public delegateStubRequest,
                        public delegateRequest,
                        public delegateRequest1,
                        public delegateRequest2,
                        public newDelegateRequest {
 public:
  struct Heard {
    std::string what;
    Text text;
    Text methodName;
    int32_t tag = -1;
  };
  std::vector<Heard> heard;
  Bytes lastBytes;

  void requestFinished(const Text& text, const Text& name) override { heard.push_back({"text", text, name}); }
  void requestFinishedO(const Text& text, const Text& name) override { heard.push_back({"O", text, name}); }
  void requestFinished1(const Text& text, const Text& name) override { heard.push_back({"1", text, name}); }
  void requestFinished2(const Text& text, const Text& name) override { heard.push_back({"2", text, name}); }
  void requestFinishedNew(const Bytes& data) override {
    heard.push_back({"new", std::nullopt, std::nullopt});
    lastBytes = data;
  }
  void requestFinishedNew(const Bytes& data, MStubBase& stub) override {
    heard.push_back({"new+stub", std::nullopt, std::nullopt, stub.tag()});
    EXPECT_EQ(data, lastBytes);
  }

  std::vector<std::string> order() const {
    std::vector<std::string> out;
    for (const auto& h : heard) out.push_back(h.what);
    return out;
  }
};

// A screen with only the required operation.
class RawScreen : public newDelegateRequest {
 public:
  std::vector<Bytes> replies;
  void requestFinishedNew(const Bytes& data) override { replies.push_back(data); }
};

class MStubBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto certificates = standin::TestCertificates::create();
    ASSERT_TRUE(certificates) << certificates.error();
    LotteryStandin::Settings settings;
    settings.tls = certificates.value();
    server = std::make_unique<LotteryStandin>(settings);
    ASSERT_TRUE(server->start().isOk());
    platform::net::HttpRequest::setCaFile(certificates->caCertFile);
    LotteryServerConfig::current().setBase(server->baseAddress() + "/");
  }

  // Waits (real time: the server is real) until pred holds.
  static bool waitFor(const std::function<bool()>& pred) {
    return platform::RunLoop::main().drainIoUntil(pred, std::chrono::seconds(10));
  }

  // Sends a request through a stub and returns the raw reply.
  Bytes exchange(const Bytes& request, LotteryPath path = LotteryPath::Service) {
    auto screen = std::make_shared<RawScreen>();
    auto stub = MStubBase::create();
    stub->setNewDelegate(screen);
    stub->requestnew(LotteryServerConfig::current().address(path), request);
    EXPECT_TRUE(waitFor([&] { return !screen->replies.empty(); }));
    return screen->replies.empty() ? Bytes() : screen->replies.front();
  }

  std::unique_ptr<LotteryStandin> server;
};

TEST_F(MStubBaseTest, TopUpOrderEndToEndInEveryAnswer) {
  using Answer = LotteryStandin::TopUpAnswer;
  StaticVariable::shared().setUid("70001");
  struct Case {
    Answer answer;
    bool orderRead;
  } cases[] = {{Answer::Normal, true}, {Answer::Refused, false}, {Answer::Truncated, false}, {Answer::OverlongMac, false}};
  for (const auto& c : cases) {
    server->setTopUpAnswer(c.answer);
    auto request = TopUpOrder::request(StaticVariable::shared().uid(), "100");
    ASSERT_TRUE(request) << request.error();
    const Bytes reply = exchange(*request);
    auto order = TopUpOrder::read(reply);
    EXPECT_EQ(order.isOk(), c.orderRead) << static_cast<int>(c.answer) << " " << order.error();
    if (order) {
      EXPECT_EQ(order->amount, "10000");
      EXPECT_EQ(order->codeSign.size(), 300u);
    }
    if (c.answer == Answer::Refused) {
      EXPECT_EQ(LotteryReply(reply).status(), LotteryReply::kRefused);
    }
  }
  // The server read every order with its own reader and found the digest right.
  const auto messages = server->messages();
  ASSERT_EQ(messages.size(), 4u);
  for (const auto& m : messages) {
    EXPECT_EQ(m.error, "");
    EXPECT_TRUE(m.digestOk);
    EXPECT_EQ(m.code, 1213);
    EXPECT_EQ(m.header, "00001000000");
    EXPECT_EQ(m.fields, (std::vector<std::string>{"70001", "100", ""}));
  }
}

TEST_F(MStubBaseTest, LoginAndBetOrderEndToEnd) {
  const std::string name = "13800000000;u42;V000000000000042";
  struct Case {
    std::string password;
    bool accepted;
  } cases[] = {{"390857", true}, {"123456", false}};
  for (const auto& c : cases) {
    auto login = FBEncryptorAES::dengluData(name, c.password, "token-1");
    ASSERT_TRUE(login) << login.error();
    auto reply = LotteryLoginReply::read(exchange(*login));
    ASSERT_TRUE(reply) << reply.error();
    EXPECT_EQ(reply->accepted(), c.accepted) << c.password;
    // The server deciphered the login name and password with its own key.
    const auto m = server->messages().back();
    EXPECT_EQ(m.error, "");
    ASSERT_GE(m.fields.size(), 9u);
    EXPECT_EQ(m.fields[0], name);
    EXPECT_EQ(m.fields[1], c.password);
    EXPECT_EQ(m.fields[8], "token-1");
  }

  StaticVariable::shared().setUid("70001");
  platform::Json dic = platform::Json::object();
  dic["orderId"] = "P001";
  auto order = FBEncryptorAES::makeDataWithLottery("001", "01", "01,02,03,04,05,06#07-01-1", "2", 0, "0", "1",
                                                   std::nullopt, dic);
  ASSERT_TRUE(order) << order.error();
  LotteryReply accepted(exchange(*order, LotteryPath::IosService));
  EXPECT_EQ(accepted.status(), 2524);
  accepted.s1();
  EXPECT_EQ(accepted.u8(), 1);
  EXPECT_EQ(server->messages().back().fields.back(), R"({"orderId":"P001"})");
  // A bet order on the query path is refused.
  EXPECT_EQ(LotteryReply(exchange(*order, LotteryPath::Service)).status(), LotteryReply::kRefused);
}

TEST_F(MStubBaseTest, ServerRefusesRequestsSealedWithAnotherSalt) {
  const std::string pem = "-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n";
  platform::Json settings = nvx::testing::TestSettingsBundle::settings(pem, pem, "x", "y");
  settings["lotteryCodecKey"] = std::string(LotteryStandin::kCodecKey);
  settings["lotterySalt"] = "not-the-server-salt";
  nvx::testing::TestSettingsBundle bundle(settings);
  auto hall = LotteryRequest(1301).s1("000").seal();
  ASSERT_TRUE(hall);
  EXPECT_EQ(LotteryReply(exchange(*hall)).status(), LotteryReply::kRefused);
  EXPECT_FALSE(server->messages().back().digestOk);
}

TEST_F(MStubBaseTest, DelegatesHearTheReplyInOrderWithTheStub) {
  auto screen = std::make_shared<RecordingScreen>();
  auto stub = MStubBase::create();
  stub->setDelegate(screen);
  stub->setDelegateO(screen);
  stub->setDelegate1(screen);
  stub->setDelegate2(screen);
  stub->setNewDelegate(screen);
  stub->setMethodName("m");
  stub->setTag(10000);
  EXPECT_TRUE(stub->hasDoneRequest());
  auto hall = LotteryRequest(1301).s1("000").seal();
  ASSERT_TRUE(hall);
  stub->requestnew(LotteryServerConfig::current().address(LotteryPath::Service), *hall);
  // A second request on the same stub is ignored.
  stub->requestnew(LotteryServerConfig::current().address(LotteryPath::Service), *hall);
  EXPECT_FALSE(stub->hasDoneRequest());
  // The screen drops the stub at once; the running request keeps it alive.
  std::weak_ptr<MStubBase> weakStub = stub;
  stub.reset();
  ASSERT_TRUE(waitFor([&] { return screen->heard.size() == 6; }));
  EXPECT_EQ(screen->order(), (std::vector<std::string>{"text", "O", "1", "2", "new", "new+stub"}));
  EXPECT_EQ(screen->heard.back().tag, 10000);
  EXPECT_EQ(screen->heard[0].methodName, "m");
  // The 2301 reply is not UTF-8 (0xFD): the text delegates get nothing, the raw one the bytes.
  EXPECT_EQ(screen->heard[0].text, std::nullopt);
  EXPECT_EQ(LotteryReply(screen->lastBytes).status(), 2301);
  EXPECT_EQ(server->messages().size(), 1u);
  EXPECT_TRUE(weakStub.expired());
}

TEST_F(MStubBaseTest, AnErrorPageIsHandedOnAsAReply) {
  auto screen = std::make_shared<RecordingScreen>();
  auto stub = MStubBase::create();
  stub->setDelegateO(screen);
  stub->setNewDelegate(screen);
  stub->request(server->baseAddress() + "/360/elsewhere.ashx?x=1");
  ASSERT_TRUE(waitFor([&] { return screen->heard.size() == 3; }));
  EXPECT_EQ(screen->order(), (std::vector<std::string>{"O", "new", "new+stub"}));
  EXPECT_EQ(screen->heard[0].text, "no route for POST /360/elsewhere.ashx");
  EXPECT_EQ(screen->lastBytes, "no route for POST /360/elsewhere.ashx");
}

TEST_F(MStubBaseTest, FailureGivesTheRawDelegateAnEmptyReplyOnly) {
  const std::string address = LotteryServerConfig::current().address(LotteryPath::Service);
  server->stop();
  auto screen = std::make_shared<RecordingScreen>();
  auto raw = std::make_shared<RawScreen>();
  auto stub = MStubBase::create();
  stub->setDelegate(screen);
  stub->setDelegate1(screen);
  stub->setNewDelegate(raw);
  stub->requestnew(address, FBEncryptorAES::data());
  ASSERT_TRUE(waitFor([&] { return !raw->replies.empty(); }));
  EXPECT_EQ(raw->replies, std::vector<Bytes>{Bytes()});
  EXPECT_EQ(screen->order(), std::vector<std::string>{"text"});
  EXPECT_EQ(screen->heard[0].text, std::nullopt);
  EXPECT_TRUE(stub->hasDoneRequest());
  EXPECT_TRUE(LotteryReply(raw->replies[0]).isEmpty());
}

TEST_F(MStubBaseTest, NothingReachesTheRawDelegateAfterCancel) {
  auto screen = std::make_shared<RecordingScreen>();
  auto stub = MStubBase::create();
  stub->setDelegateO(screen);
  stub->setDelegate1(screen);
  stub->setNewDelegate(screen);
  stub->requestnew(LotteryServerConfig::current().address(LotteryPath::Service), FBEncryptorAES::data());
  stub->cancel();
  EXPECT_TRUE(stub->hasDoneRequest());
  EXPECT_EQ(screen->order(), std::vector<std::string>{"O"});
  EXPECT_EQ(screen->heard[0].methodName, std::nullopt);
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(screen->order(), std::vector<std::string>{"O"});
  // Cancelling again, or a used stub asked again, does nothing.
  stub->cancel();
  stub->requestnew(LotteryServerConfig::current().address(LotteryPath::Service), FBEncryptorAES::data());
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(screen->order(), std::vector<std::string>{"O"});
}

TEST_F(MStubBaseTest, ADelegateThatIsGoneIsNotCalled) {
  auto screen = std::make_shared<RecordingScreen>();
  auto raw = std::make_shared<RawScreen>();
  auto stub = MStubBase::create();
  stub->setDelegate(screen);
  stub->setNewDelegate(raw);
  auto hall = LotteryRequest(1301).s1("000").seal();
  ASSERT_TRUE(hall);
  stub->requestnew(LotteryServerConfig::current().address(LotteryPath::Service), *hall);
  std::weak_ptr<RecordingScreen> gone = screen;
  screen.reset();
  ASSERT_TRUE(waitFor([&] { return !raw->replies.empty(); }));
  EXPECT_TRUE(gone.expired());
}

TEST(LotteryServerConfigTest, AddressesOfTheCatalogue) {
  auto& config = LotteryServerConfig::current();
  config.setBase("https://lottery.example:8443//");
  struct Case {
    int code;
    std::string address;
  } cases[] = {
      {1505, "https://lottery.example:8443/360/service"},
      {1213, "https://lottery.example:8443/360/service"},
      {1524, "https://lottery.example:8443/360/iosService"},
      {1999, "https://lottery.example:8443/360/service"},
  };
  for (const auto& c : cases) EXPECT_EQ(config.addressFor(c.code), c.address) << c.code;
  EXPECT_EQ(LotteryCatalogue::find(1107)->path, LotteryPath::None);
}

}  // namespace
}  // namespace nvx::lottery
