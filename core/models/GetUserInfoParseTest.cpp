#include "core/models/GetUserInfoParse.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using platform::Json;

TEST(GetUserInfoParseTest, IdentityFieldsAndTheNestedCardId) {
  auto p = GetUserInfoParse::initWithDic(Json::parse(
      R"({"email":"a@b.cn","realName":"张三","idCardInfo":{"idCardId":"110101199003071234"},"other":1})"));
  EXPECT_EQ(p.email(), "a@b.cn");
  EXPECT_EQ(p.realName(), "张三");
  EXPECT_EQ(p.idCardId(), "110101199003071234");

  auto textCard = GetUserInfoParse::initWithDic(Json::parse(R"({"realName":"李四","idCardInfo":"1101"})"));
  EXPECT_EQ(textCard.realName(), "李四");
  EXPECT_EQ(textCard.idCardId(), "");

  for (const char* notADictionary : {"[1]", "\"x\"", "null", "3"}) {
    auto empty = GetUserInfoParse::initWithDic(Json::parse(notADictionary));
    EXPECT_EQ(empty.email() + empty.realName() + empty.idCardId(), "") << notADictionary;
  }
}

}  // namespace
}  // namespace nvx
