#include "core/models/ClientVersionEntity.h"

#include <gtest/gtest.h>

#include "core/session/UserDefaultsExt.h"

namespace nvx {
namespace {

using platform::Json;

TEST(ClientVersionEntityTest, ReadsTheRecordWithTheIdFromId) {
  auto e = ClientVersionEntity::initWithJson(Json::parse(R"({
      "aimVersion":"3.2.0","currVersion":"3.1.0","mustup":1,"id":42,"clientVersionId":7,
      "descTitle":"新版本","clientDesc":"修复问题","clientUrl":"https://x/app","createTime":1425446400000,
      "platType":"ios"})"));
  EXPECT_EQ(e.aimVersion(), "3.2.0");
  EXPECT_EQ(e.currVersion(), "3.1.0");
  EXPECT_EQ(e.mustup(), 1);
  EXPECT_EQ(e.clientVersionId(), 42);
  EXPECT_EQ(e.descTitle(), "新版本");
  EXPECT_EQ(e.clientDesc(), "修复问题");
  EXPECT_EQ(e.clientUrl(), "https://x/app");
  EXPECT_EQ(e.createTime(), 1425446400000);
  EXPECT_EQ(e.platType(), "ios");
  EXPECT_EQ(e.description(),
            "\naimVersion : 3.2.0\ncurrVersion : 3.1.0\nmustup : 1\nclientVersionId : 42\ndescTitle : 新版本\n"
            "clientDesc : 修复问题\nclientUrl : https://x/app\ncreateTime : 1425446400000\nplatType : ios\n");
}

TEST(ClientVersionEntityTest, WrongShapesLeaveFieldsEmpty) {
  for (const char* text : {"null", "[1]", "\"x\"", R"({"aimVersion":3,"mustup":"yes","id":{}})"}) {
    auto e = ClientVersionEntity::initWithJson(Json::parse(text));
    EXPECT_EQ(e.aimVersion(), "") << text;
    EXPECT_EQ(e.mustup(), 0) << text;
    EXPECT_EQ(e.clientVersionId(), 0) << text;
  }
  EXPECT_EQ(ClientVersionEntity::initWithJson(Json::parse(R"({"mustup":"1"})")).mustup(), 1);
}

TEST(ClientVersionEntityTest, ArchivesUnderTheNvxKeys) {
  ClientVersionEntity::registerArchiveClass();
  auto e = std::make_shared<ClientVersionEntity>(
      ClientVersionEntity::initWithJson(Json::parse(R"({"aimVersion":"3.2","mustup":1,"id":9,"platType":"ios"})")));
  Json encoded = platform::Archiver::encodeObject(*e);
  EXPECT_EQ(encoded.value("nvx_aimVersion", ""), "3.2");
  EXPECT_EQ(encoded.value("nvx_clientVersionId", 0), 9);
  serialize(e, "versions");
  auto back = reverseForKey<ClientVersionEntity>("versions");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->description(), e->description());
}

}  // namespace
}  // namespace nvx
