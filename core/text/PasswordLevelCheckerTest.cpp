#include "core/text/PasswordLevelChecker.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

TEST(PasswordLevelCheckerTest, RatesByCharacterClasses) {
  struct Case { const char* password; std::optional<std::string> level; };
  const Case cases[] = {
      {"123456", "BAD"},
      {"abcDEF", "BAD"},          // upper and lower case are one class
      {"!!!", "BAD"},
      {"abc123", "GENERAL"},
      {"12#$", "GENERAL"},
      {"abc123!", "GOOD"},
      {"*a1", "GOOD"},
      {"-_-", std::nullopt},
      {"中文密码", std::nullopt},
      {"１２３", std::nullopt},    // full-width digits are not 0-9
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    PasswordLevelChecker checker;
    EXPECT_EQ(checker.checkPassword(c.password), c.level) << c.password;
  }
}

TEST(PasswordLevelCheckerTest, ACheckerCountsEachClassOnce) {
  PasswordLevelChecker checker;
  EXPECT_EQ(checker.chekerArray(),
            (std::vector<std::string>{"checkNumber", "checkAlphabet", "checkSpecialChar"}));
  EXPECT_EQ(checker.checkPassword("a1"), "GENERAL");
  EXPECT_EQ(checker.chekerArray(), (std::vector<std::string>{"checkSpecialChar"}));
  EXPECT_EQ(checker.checkPassword("a1!"), "BAD");
  EXPECT_EQ(checker.checkPassword("a1!"), std::nullopt);
}

}  // namespace
}  // namespace nvx
