// The service groups: read from the reply, kept across runs in the user defaults, and fetched
// from the main-API stand-in by the shared action object.
#include "core/models/ServiceGroupEntity.h"

#include <gtest/gtest.h>

#include "app/ui/NVXAction.h"
#include "home/testing/HomePagesFixture.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

using platform::Json;
using Scripted = standin::MainApiStandin::Scripted;

const char* kGroups = R"([
  {"groupId":"1","groupName":"信用卡","groupOrder":"1","groupCode":"CARD",
   "servList":[{"servId":"M50001","update":"1","updateMsg":"免费还款","servName":"还款","servOrder":"1"},
               {"servId":160,"update":0}]},
  {"groupId":"2","groupName":"空组"},
  {"groupId":"3","servList":"not a list"}
])";

class ServiceGroupTest : public testing::HomePagesFixture {
 protected:
  std::optional<bool> fetch() {
    std::optional<bool> stored;
    NVXAction::updateUIServiceGroup([&](bool s) { stored = s; });
    pump([&] { return stored.has_value(); });
    return stored;
  }
};

TEST_F(ServiceGroupTest, AFetchedListIsKeptAcrossARestartAndAFailureKeepsIt) {
  serviceState().serviceGroups = Json::parse(kGroups);
  EXPECT_TRUE(ServiceGroupEntity::storedServices().empty()) << "nothing stored reads as no services";
  EXPECT_EQ(fetch(), true);
  EXPECT_TRUE(server->lastVerdict("getServiceGroup")->identityOk);

  platform::testing::restart();
  ServiceGroupEntity::registerArchiveClass();
  ServerConfig::current().setMainApiBase(server->apiBaseAddress());
  auto groups = ServiceGroupEntity::stored();
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0]->groupName(), "信用卡");
  EXPECT_TRUE(groups[1]->servList().empty());
  EXPECT_TRUE(groups[2]->servList().empty());
  auto services = ServiceGroupEntity::storedServices();
  ASSERT_EQ(services.size(), 2u);
  EXPECT_EQ(services[0]->servIdText(), "M50001");
  EXPECT_EQ(services[0]->updateNote(), "免费还款");
  EXPECT_TRUE(services[0]->updateAsBool());
  EXPECT_EQ(services[1]->servIdText(), "160") << "a number is read as its text";
  EXPECT_FALSE(services[1]->updateAsBool());
  EXPECT_FALSE(services[1]->updateIsEmpty());

  for (auto scripted : {Scripted::error("9001", "系统繁忙"), Scripted::success(Json::object()), Scripted::badJson()}) {
    server->clearScripts();
    server->script("getServiceGroup", scripted);
    const size_t calls = callsOf("getServiceGroup");
    EXPECT_EQ(fetch(), false);
    EXPECT_EQ(callsOf("getServiceGroup"), calls + 1) << "the server was asked";
    EXPECT_EQ(ServiceGroupEntity::storedServices().size(), 2u);
  }
}

TEST(ServListEntity, UpdateFlagAndNoteReadings) {
  struct Case {
    Json update;
    bool asBool;
    int64_t asInt;
    bool empty;
  };
  for (const Case& c : {Case{nullptr, false, 0, true}, Case{"", false, 0, true}, Case{"0", false, 0, false},
                        Case{"1", true, 1, false}, Case{"2x", true, 2, false}, Case{"YES", true, 0, false},
                        Case{3, true, 3, false}, Case{Json::array(), false, 0, false}}) {
    Json json = Json::object();
    if (!c.update.is_null()) json["update"] = c.update;
    const auto s = ServListEntity::initWithJson(json);
    EXPECT_EQ(s.updateAsBool(), c.asBool) << platform::json::dump(c.update);
    EXPECT_EQ(s.updateAsInt(), c.asInt) << platform::json::dump(c.update);
    EXPECT_EQ(s.updateIsEmpty(), c.empty) << platform::json::dump(c.update);
  }
  for (const auto& [note, kept] : std::vector<std::pair<Json, bool>>{
           {"   ", false}, {"\t", false}, {"", false}, {12, false}, {" 新 ", true}}) {
    const auto s = ServListEntity::initWithJson(Json{{"updateMsg", note}});
    EXPECT_EQ(s.updateNote().has_value(), kept) << platform::json::dump(note);
  }
}

}  // namespace
}  // namespace nvx
