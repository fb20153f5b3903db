#include "core/models/MaxNum.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using platform::Json;

TEST(MaxNumTest, IntegerValueOfMaxnum) {
  struct Case {
    const char* json;
    int maxnum;
  } cases[] = {
      {R"({"maxnum":5})", 5},          {R"({"maxnum":"20"})", 20},   {R"({"maxnum":-3})", -3},
      {R"({"maxnum":7.9})", 7},        {R"({})", 0},                 {R"({"maxnum":"abc"})", 0},
      {R"({"maxnum":99999999999})", 2147483647},                     {R"([{"maxnum":5}])", 0},
      {"null", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(MaxNum::initWithJson(Json::parse(c.json)).maxnum(), c.maxnum) << c.json;
  EXPECT_EQ(MaxNum::initWithJson(Json::parse(R"({"maxnum":12})")).description(), "\nmaxnum : 12\n");
}

}  // namespace
}  // namespace nvx
