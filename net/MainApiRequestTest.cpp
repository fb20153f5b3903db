#include "net/MainApiRequest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/session/User.h"
#include "net/BaseService.h"
#include "net/NetUiHooks.h"
#include "net/testing/TestMainApi.h"
#include "platform/foundation/RunLoop.h"

namespace nvx {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Reply = standin::HttpStandin::Reply;

constexpr const char* kOk = R"({"retStatus":{"retCode":"0000"},"retData":{"v":1}})";

class MainApiRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    User& user = User::currentUser();
    user.setLoginName("13800000000");
    user.setUserToken("TOKEN");
    user.setPsamId("0123456789ABCDEF");
    user.setPsamNo("VT00000000000042");
    user.setCustlev("3");
    api_.onJson("op", kOk);
  }

  Fields id() const { return {{"uid", BaseService::uid()}, {"vercode", BaseService::vercode()}}; }

  testing::TestMainApi api_;
};

TEST_F(MainApiRequestTest, IdentityPresetsStampTheirFieldsFirstInTheirOrder) {
  const std::string uid = BaseService::uid();
  const std::string ver = BaseService::vercode();
  struct Case {
    Identity identity;
    Fields fields;  // after the hook's "ver" / "custlev" come the caller's "x"
  } cases[] = {
      {Identity::None, {}},
      {Identity::Plain, {{"uid", uid}, {"vercode", ver}}},
      {Identity::Token, {{"uid", uid}, {"vercode", ver}, {"userToken", "TOKEN"}}},
      {Identity::Profile,
       {{"uid", uid}, {"vercode", ver}, {"userToken", "TOKEN"}, {"busid", "B1"}, {"termid", "0123456789ABCDEF"},
        {"mobile", "13800000000"}}},
      {Identity::Terminal,
       {{"uid", uid}, {"vercode", ver}, {"mobile", "13800000000"}, {"userToken", "TOKEN"}, {"busid", "B1"},
        {"termid", "0123456789ABCDEF"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.identity));
    ServerReply post = MainApiRequest::postForm("op", c.identity).busid("B1").field("x", "1").sendSynchronously();
    EXPECT_TRUE(post.ok()) << post.message();
    Fields expected = c.fields;
    expected.push_back({"x", "1"});
    expected.push_back({"ver", "28"});
    expected.push_back({"custlev", "3"});
    EXPECT_EQ(api_.server().lastRequest()->formFields, expected);

    ServerReply get = MainApiRequest::get("op", c.identity).busid("B1").query("x", "1").sendSynchronously();
    EXPECT_TRUE(get.ok());
    Fields query = c.fields;
    query.push_back({"x", "1"});
    query.push_back({"ver", "28"});
    query.push_back({"custlev", "3"});
    EXPECT_EQ(api_.server().lastRequest()->queryFields, query);
  }
}

TEST_F(MainApiRequestTest, AddressFormsAndFieldRepeats) {
  EXPECT_EQ(MainApiRequest::get("op", Identity::None).url(), api_.base() + "op.json");
  // An empty caller segment still counts, as the older address builders did.
  EXPECT_EQ(MainApiRequest::get("op").rawQuery("").url(),
            api_.base() + "op.json?uid=" + BaseService::uid() + "&vercode=" + BaseService::vercode() + "&");
  // A session value where the operation wants it; another server's base.
  EXPECT_EQ(MainApiRequest::get("getIosPushMsg", Identity::None)
                .atBase("http://stats/")
                .query("msgId", "7")
                .sessionValue("uid", SessionValue::Uid)
                .url(),
            "http://stats/getIosPushMsg.json?msgId=7&uid=" + BaseService::uid());
  // field() keeps the last value of a name (the identity's too), addField() keeps repeats.
  auto request = MainApiRequest::postForm("op", Identity::Plain)
                     .field("uid", "override")
                     .addField("pan", "1")
                     .addField("pan", "2")
                     .build();
  const std::vector<platform::net::PostField> expected = {
      {"vercode", BaseService::vercode()}, {"uid", "override"}, {"pan", "1"}, {"pan", "2"}};
  EXPECT_EQ(request->postFields(), expected);
}

TEST_F(MainApiRequestTest, AsynchronousCompletionRunsOnceOnTheMainLoopWithTheKind) {
  int shown = 0;
  int hidden = 0;
  NetUiHooks hooks;
  hooks.showWindowSpinner = [&] { ++shown; };
  hooks.hideWindowSpinner = [&] { ++hidden; };
  NetUiHooks::install(std::move(hooks));
  api_.onJson("expired", R"({"retStatus":{"retCode":"1012"}})");

  std::vector<ServerReply> replies;
  bool onMain = true;
  auto done = [&](ServerReply r) {
    onMain = onMain && platform::RunLoop::main().isMainThread();
    replies.push_back(std::move(r));
  };
  MainApiRequest::get("op").spinner().start(done);
  EXPECT_EQ(shown, 1);
  MainApiRequest::get("expired").start(done);
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return replies.size() == 2; }));
  platform::RunLoop::main().runUntilIdle();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_TRUE(onMain);
  EXPECT_EQ(hidden, 1);
  int ok = 0;
  int expired = 0;
  for (const auto& r : replies) {
    if (r.ok()) {
      ++ok;
      ASSERT_TRUE(r.data());
      EXPECT_EQ(*r.data(), platform::Json({{"v", 1}}));
    }
    if (r.kind == FailureKind::SessionExpired) {
      ++expired;
      EXPECT_FALSE(r.takenOver) << "no screen took the expired login over";
    }
  }
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(expired, 1);
}

TEST_F(MainApiRequestTest, ACancelledRequestCompletesAsCancelled) {
  api_.on("slow", [this](const auto&) {
    api_.server().holdUntilStopped(std::chrono::milliseconds(3000));
    return Reply::json(kOk);
  });
  std::optional<ServerReply> reply;
  auto request = MainApiRequest::get("slow").start([&](ServerReply r) { reply = std::move(r); });
  request->cancelRequest();
  ASSERT_TRUE(testing::TestMainApi::pumpUntil([&] { return reply.has_value(); }));
  EXPECT_EQ(reply->kind, FailureKind::Cancelled);
}

// Workers start requests (as the picture cache does) while the main thread changes the session:
// the requests use the session captured on the main thread, and nothing reads User off it.
TEST_F(MainApiRequestTest, WorkersStartRequestsWithTheCapturedSession) {
  api_.on("picture", [](const auto&) { return Reply::text("png"); });
  const RequestSession session = RequestSession::capture();
  std::atomic<int> okReplies{0};
  std::atomic<int> pictures{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i) {
    workers.emplace_back([&, i] {
      for (int n = 0; n < 3; ++n) {
        ServerReply r = MainApiRequest::postForm("op", Identity::Token, session).field("n", std::to_string(i)).sendSynchronously();
        if (r.ok()) ++okReplies;
        auto plain = platform::net::HttpRequest::make(api_.base() + "picture.json");
        plain->startSynchronous();
        if (!plain->error() && plain->responseData() == "png") ++pictures;
      }
    });
  }
  for (int n = 0; n < 20; ++n) {
    User::currentUser().setCustlev(std::to_string(n));
    User::currentUser().setUserToken("TOKEN" + std::to_string(n));
    platform::RunLoop::main().runUntilIdle();
  }
  for (auto& w : workers) w.join();
  EXPECT_EQ(okReplies.load(), 12);
  EXPECT_EQ(pictures.load(), 12);
  for (const auto& seen : api_.server().requests()) {
    if (seen.path.find("op.json") == std::string::npos) continue;
    EXPECT_EQ(seen.formValue("userToken"), "TOKEN");
    EXPECT_EQ(seen.formValue("custlev"), "3");
  }
}

}  // namespace
}  // namespace nvx

namespace nvx {
namespace {

#ifndef NDEBUG
// The session is main-thread state: a debug build stops at once when a worker tries to capture it.
TEST(RequestSessionDeathTest, CapturingOffTheMainThreadStopsADebugBuild) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        (void)platform::RunLoop::main();  // this thread is the main thread
        std::thread worker([] { (void)RequestSession::capture(); });
        worker.join();
      },
      "RequestSession::capture used off the main thread");
}
#endif

}  // namespace
}  // namespace nvx
