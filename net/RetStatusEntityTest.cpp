#include "net/RetStatusEntity.h"

#include <gtest/gtest.h>

#include "core/session/UserDefaultsExt.h"
#include "net/PageResultEntity.h"

namespace nvx {
namespace {

using platform::Json;

TEST(RetStatusEntityTest, ReadsTextsOnlyAndDescribes) {
  auto s = RetStatusEntity::initWithJson(Json::parse(R"({"retCode":"2001","errMsg":"余额不足"})"));
  EXPECT_TRUE(s.hasRetCode());
  EXPECT_EQ(s.description(), "retCode : 2001\nerrMsg : 余额不足\n");

  for (const char* text : {"null", "\"0000\"", "[]", R"({"retCode":0,"errMsg":["m"]})"}) {
    auto empty = RetStatusEntity::initWithJson(Json::parse(text));
    EXPECT_FALSE(empty.hasRetCode()) << text;
    EXPECT_FALSE(empty.hasErrMsg()) << text;
    EXPECT_EQ(empty.retCode() + empty.errMsg(), "") << text;
  }
}

TEST(RetStatusEntityTest, ArchivesUnderTheNvxKeys) {
  RetStatusEntity::registerArchiveClass();
  PageResultEntity::registerArchiveClass();
  auto s = std::make_shared<RetStatusEntity>("0000", "成功");
  EXPECT_EQ(platform::Archiver::encodeObject(*s).value("nvx_retCode", ""), "0000");
  serialize(s, "status");
  auto back = reverseForKey<RetStatusEntity>("status");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->description(), s->description());

  auto page = std::make_shared<PageResultEntity>(PageResultEntity::initWithJson(
      Json::parse(R"({"startPage":2,"pageSize":"20","totalPage":5,"totalRecord":93})")));
  EXPECT_EQ(page->description(), "\nstartPage : 2\npageSize : 20\ntotalPage : 5\ntotalRecord : 93\n");
  EXPECT_EQ(platform::Archiver::encodeObject(*page).value("nvx_totalRecord", 0), 93);
  serialize(page, "page");
  auto pageBack = reverseForKey<PageResultEntity>("page");
  ASSERT_TRUE(pageBack);
  EXPECT_EQ(pageBack->pageSize(), 20);
  EXPECT_EQ(PageResultEntity::initWithJson(Json::array()).totalPage(), 0);
}

}  // namespace
}  // namespace nvx
