#include "platform/foundation/Strings.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include <nlohmann/json.hpp>

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

// The bundled table is written by hand and merged often. A broken table silently shows keys in
// place of every text, and a key written twice silently keeps only the last text: both must fail here.
TEST(Strings, TheBundledTableReadsAndNamesEachKeyOnce) {
  const auto text = fs::read(Sandbox::bundle() / "zh-Hans.strings.json");
  ASSERT_TRUE(text);
  std::vector<std::set<std::string>> objects;
  std::vector<std::string> repeated;
  auto check = [&](int, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
    if (event == nlohmann::json::parse_event_t::object_start) objects.emplace_back();
    if (event == nlohmann::json::parse_event_t::object_end) objects.pop_back();
    if (event == nlohmann::json::parse_event_t::key && !objects.back().insert(parsed.get<std::string>()).second) {
      repeated.push_back(parsed.get<std::string>());
    }
    return true;
  };
  const auto table = nlohmann::json::parse(*text, check, /*allow_exceptions=*/false);
  ASSERT_FALSE(table.is_discarded()) << "the table does not parse";
  EXPECT_TRUE(table.is_object());
  EXPECT_EQ(repeated, std::vector<std::string>{});
}

}  // namespace
}  // namespace platform
