#include "standin/StatisticsStandin.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"
#include "platform/net/HttpRequest.h"
#include "standin/MainApiStandin.h"

namespace standin {
namespace {

using platform::Json;
using platform::net::HttpRequest;

constexpr std::string_view kSalt = "test-salt";
constexpr std::string_view kUid = "a1B2c3D4e5F6g7H8";

class StatisticsStandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<StatisticsStandin>(StatisticsStandin::Settings{std::string(kSalt), std::nullopt});
    ASSERT_TRUE(server_->start().isOk());
    file_ = platform::Sandbox::caches() / "log.txt";
    ASSERT_TRUE(platform::fs::writeAtomic(file_, "0001,a\n0011,b"));
  }

  std::string identity(bool good = true) const {
    return "uid=" + std::string(kUid) + "&vercode=" + (good ? MainApiStandin::vercodeFor(kUid, kSalt) : "bad");
  }

  std::shared_ptr<HttpRequest> uploadRequest(bool good = true, bool withFile = true) {
    auto r = HttpRequest::make(server_->statisticsBaseAddress() + "uploadCsvFile.json?userToken=t1&" + identity(good),
                               true);
    r->addPostValue("imei", "dev");
    r->addPostValue("ver", "28");
    if (withFile) r->addFile("logdata", file_, "text/plain");
    return r;
  }

  static std::string retCode(const HttpRequest& r) {
    auto json = platform::json::parse(r.responseString());
    const Json* status = json ? platform::json::member(*json, "retStatus") : nullptr;
    return status ? platform::json::text(*status, "retCode").value_or("") : "<no envelope>";
  }

  std::unique_ptr<StatisticsStandin> server_;
  platform::Path file_;
};

TEST_F(StatisticsStandinTest, JudgesUploadsLikeTheServer) {
  struct Case {
    const char* name;
    bool goodIdentity;
    bool withFile;
    std::string_view code;
  } cases[] = {
      {"accepted", true, true, StatisticsStandin::kOk},
      {"wrong vercode", false, true, StatisticsStandin::kIdentityRefused},
      {"no logdata file", true, false, StatisticsStandin::kBadRequest},
  };
  for (const auto& c : cases) {
    auto r = uploadRequest(c.goodIdentity, c.withFile);
    r->startSynchronous();
    ASSERT_FALSE(r->error()) << c.name;
    EXPECT_EQ(retCode(*r), c.code) << c.name;
    EXPECT_EQ(server_->uploads().back().retCode, c.code) << c.name;
  }
  const auto first = server_->uploads().front();
  EXPECT_EQ(first.logdata, "0001,a\n0011,b");
  EXPECT_EQ(first.userToken, "t1");
  EXPECT_EQ(first.imei, "dev");
  EXPECT_FALSE(first.https);
  EXPECT_EQ(server_->acceptedRecords(), (std::vector<std::string>{"0001,a", "0011,b"})) << "only accepted files count";
}

TEST_F(StatisticsStandinTest, PostedRecordsDeviceTokensAndScriptedReplies) {
  auto post = [&](std::string method, std::vector<std::pair<std::string, std::string>> fields, std::string query = {}) {
    auto r = HttpRequest::make(server_->statisticsBaseAddress() + method + ".json" + query, true);
    for (auto& [k, v] : fields) r->addPostValue(k, v);
    r->startSynchronous();
    EXPECT_FALSE(r->error());
    return r;
  };
  const std::string uid(kUid);
  const std::string vercode = MainApiStandin::vercodeFor(kUid, kSalt);
  EXPECT_EQ(retCode(*post("insertStaticesInfo", {{"infoStr", "0010,x"}, {"imei", "dev"}, {"uid", uid}, {"vercode", vercode}})),
            "0000");
  EXPECT_EQ(retCode(*post("insertStaticesInfo", {{"imei", "dev"}, {"uid", uid}, {"vercode", vercode}})), "2003");
  server_->script("insertStaticesInfo", StatisticsStandin::Scripted::error("3001", "忙"));
  EXPECT_EQ(retCode(*post("insertStaticesInfo", {{"infoStr", "0017,y"}, {"imei", "dev"}, {"uid", uid}, {"vercode", vercode}})),
            "3001");
  server_->script("insertStaticesInfo", StatisticsStandin::Scripted::body("<html/>"));
  EXPECT_EQ(post("insertStaticesInfo", {{"infoStr", "0017,z"}, {"imei", "dev"}, {"uid", uid}, {"vercode", vercode}})
                ->responseString(),
            "<html/>");
  ASSERT_EQ(server_->infos().size(), 4u);
  EXPECT_EQ(server_->acceptedRecords(), std::vector<std::string>{"0010,x"});

  EXPECT_EQ(retCode(*post("addIphoneToken", {{"deviceToken", "abc"}, {"deviceId", "dev"}, {"switchState", "1"}},
                          "?" + identity())),
            "0000");
  ASSERT_EQ(server_->deviceTokens().size(), 1u);
  EXPECT_EQ(server_->deviceTokens()[0].deviceToken, "abc");
  EXPECT_EQ(server_->deviceTokens()[0].switchState, "1");
  EXPECT_TRUE(server_->deviceTokens()[0].identityOk);
}

TEST_F(StatisticsStandinTest, PushMessagesAreServedAsAListOfOneForAnyId) {
  auto get = [&](const std::string& query) {
    auto r = HttpRequest::make(server_->statisticsBaseAddress() + "getIosPushMsg.json?" + query);
    r->startSynchronous();
    EXPECT_FALSE(r->error()) << query;
    return platform::json::parse(r->responseString()).value_or(Json());
  };
  auto codeOf = [](const Json& reply) { return reply["retStatus"].value("retCode", ""); };

  const Json reply = get("msgId=m-9&" + identity());
  EXPECT_EQ(codeOf(reply), StatisticsStandin::kOk);
  ASSERT_TRUE(reply["retData"].is_array());
  ASSERT_EQ(reply["retData"].size(), 1u);
  const Json& message = reply["retData"][0];
  EXPECT_EQ(message["msgId"], "m-9");
  EXPECT_EQ(message["aContent"], StatisticsStandin::kPushMessageContent);
  EXPECT_EQ(message["aUrl"], "");
  EXPECT_EQ(message["note"], "");

  // Refusals carry no message.
  const Json noId = get(identity());
  EXPECT_EQ(codeOf(noId), StatisticsStandin::kBadRequest);
  EXPECT_FALSE(noId.contains("retData"));
  const Json stranger = get("msgId=m-9&" + identity(false));
  EXPECT_EQ(codeOf(stranger), StatisticsStandin::kIdentityRefused);
  EXPECT_FALSE(stranger.contains("retData"));
  server_->script("getIosPushMsg", StatisticsStandin::Scripted::error("3001", "忙"));
  EXPECT_EQ(codeOf(get("msgId=m-10&" + identity())), "3001");

  EXPECT_EQ(server_->pushMessageIds(), (std::vector<std::string>{"m-9", "", "m-9", "m-10"}));
}

TEST_F(StatisticsStandinTest, HeldUploadsWaitForTheReleaseOrTheStop) {
  server_->holdUploads();
  auto r = uploadRequest();
  r->setTimeout(std::chrono::seconds(20));
  std::thread client([&] { r->startSynchronous(); });
  ASSERT_TRUE(server_->waitForUploads(1, std::chrono::seconds(10)));
  EXPECT_TRUE(r->isRunning()) << "not answered yet";
  server_->release();
  client.join();
  EXPECT_EQ(retCode(*r), "0000");

  server_->holdUploads();
  auto held = uploadRequest();
  held->setTimeout(std::chrono::seconds(20));
  std::thread second([&] { held->startSynchronous(); });
  ASSERT_TRUE(server_->waitForUploads(2, std::chrono::seconds(10)));
  server_->stop();  // does not wait for a release
  second.join();
  EXPECT_NE(retCode(*held), "0000");
}

}  // namespace
}  // namespace standin
