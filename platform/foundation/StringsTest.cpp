#include "platform/foundation/Strings.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace platform {
namespace {

TEST(Strings, LooksUpTheProjectTableAndFallsBackToTheKey) {
  EXPECT_EQ(Strings::localized("Cancel"), "取消");
  EXPECT_EQ(Strings::localized("Ok"), "确定");
  EXPECT_EQ(Strings::localized("NoSuchKey_42"), "NoSuchKey_42");
  EXPECT_EQ(Strings::localized(""), "");
}

TEST(Strings, ReplyClassificationTextsAreDistinct) {
  // Replies are classified by comparing messages with these texts, so no two may be equal.
  std::set<std::string> texts;
  for (auto key : {"NetworkConnectionFailed", "Error_Data", "ReturnDataIsNil",
                   "Error_Token_Effectiveness", "Error_Unknown"}) {
    std::string text = Strings::localized(key);
    EXPECT_NE(text, key) << "missing from the table";
    EXPECT_TRUE(texts.insert(text).second) << key << " repeats " << text;
  }
}

TEST(Strings, BrokenTableGivesKeys) {
  Path previous = Sandbox::bundle();
  Path folder = Sandbox::tmp() / "bundle";
  ASSERT_TRUE(fs::writeAtomic(folder / "zh-Hans.strings.json", "{\"Cancel\": \"取消\""));
  Sandbox::setBundle(folder);
  log::Capture capture;
  EXPECT_EQ(Strings::localized("Cancel"), "Cancel");
  EXPECT_TRUE(capture.contains("zh-Hans.strings.json"));
  Sandbox::setBundle(previous);
}

}  // namespace
}  // namespace platform
