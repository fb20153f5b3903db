#include "app/ui/DetailAgreementViewController.h"

#include <gtest/gtest.h>

#include <regex>

#include "app/ui/ServiceAgreement.h"
#include "net/testing/MainApiTestFixture.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {
namespace {

using platform::ui::IndexPath;
using platform::ui::Rect;
using Clauses = std::map<std::string, std::string>;

TEST(ServiceAgreement, ReadsOnlyAStringDictionary) {
  struct Case {
    const char* name;
    std::string xml;
    std::optional<Clauses> expected;
  };
  const Case cases[] = {
      {"clauses", "<plist version=\"1.0\"><dict><key>1. 甲</key><string>一</string><key>2. 乙</key><string>二 &amp; 三</string></dict></plist>",
       Clauses{{"1. 甲", "一"}, {"2. 乙", "二 & 三"}}},
      {"other values skipped", "<plist><dict><key>a</key><integer>1</integer><key>b</key><string>x</string><key>c</key><dict/></dict></plist>",
       Clauses{{"b", "x"}}},
      {"a later key wins", "<plist><dict><key>a</key><string>1</string><key>a</key><string>2</string></dict></plist>",
       Clauses{{"a", "2"}}},
      {"an empty dictionary", "<plist><dict/></plist>", Clauses{}},
      {"a key without a value", "<plist><dict><key>a</key></dict></plist>", Clauses{}},
      {"an array root", "<plist><array><string>a</string></array></plist>", std::nullopt},
      {"not a plist", "<html><dict/></html>", std::nullopt},
      {"cut short", "<plist><dict><key>a</key><string>1", std::nullopt},
      {"empty", "", std::nullopt},
      {"no entity from outside",
       "<!DOCTYPE plist [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><plist><dict><key>a</key><string>&e;</string></dict></plist>",
       Clauses{{"a", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ServiceAgreement::parseStringDictionary(c.xml), c.expected);
  }
}

TEST(ServiceAgreement, TheResourceNumbersItsClausesFromOne) {
  auto clauses = ServiceAgreement::clauses();
  ASSERT_FALSE(clauses.empty());
  // The agreement list finds clause i by the title that begins with "i.".
  for (size_t i = 1; i <= clauses.size(); ++i) {
    const std::string prefix = std::to_string(i) + ".";
    auto found = std::count_if(clauses.begin(), clauses.end(), [&](const auto& c) { return c.first.rfind(prefix, 0) == 0; });
    EXPECT_EQ(found, 1) << prefix;
  }
  for (const auto& [title, text] : clauses) EXPECT_FALSE(text.empty()) << title;
}

class DetailAgreementTest : public testing::MainApiTestFixture {
 protected:
  std::shared_ptr<DetailAgreementViewController> show(std::string key) {
    auto screen = DetailAgreementViewController::create();
    screen->setServiceKey(std::move(key));
    services->navigation->push(screen, false);
    return screen;
  }
};

TEST_F(DetailAgreementTest, ShowsTheClauseInOneRow) {
  auto clauses = ServiceAgreement::clauses();
  ASSERT_FALSE(clauses.empty());
  const auto& [key, text] = *clauses.begin();
  auto screen = show(key);
  EXPECT_EQ(screen->title(), key);
  EXPECT_EQ(screen->service(), text);
  auto table = screen->serviceTable();
  EXPECT_EQ(table->frame(), (Rect{0, 0, 320, 568 - 64}));
  EXPECT_EQ(table->style(), platform::ui::TableViewStyle::Grouped);
  EXPECT_EQ(table->numberOfSections(), 1);
  EXPECT_EQ(table->numberOfRows(0), 1);
  auto expected = platform::ui::TextMetrics::measure(text, platform::ui::Font::system(16), {280, 1e9}).height + 50;
  EXPECT_GT(expected, 50 + 20) << "a clause of several lines";
  EXPECT_DOUBLE_EQ(*screen->heightForRow(*table, IndexPath{0, 0}), expected);
  EXPECT_DOUBLE_EQ(*screen->heightForHeader(*table, 0), 20);
  EXPECT_EQ(screen->viewForHeader(*table, 0)->frame(), (Rect{0, 0, 320, 20}));

  platform::ui::Inspector inspector;
  auto cell = table->cellForRow(IndexPath{0, 0});
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->reuseIdentifier(), "cellID");
  EXPECT_EQ(cell->selectionStyle(), platform::ui::TableViewCellSelectionStyle::None);
  auto label = cell->textLabel();
  EXPECT_EQ(label->text(), text);
  EXPECT_EQ(label->numberOfLines(), 0);
  EXPECT_EQ(label->font(), platform::ui::Font::system(16));
  EXPECT_EQ(label->textColor(), (platform::ui::Color{0.2, 0.2, 0.2, 1}));
  EXPECT_TRUE(inspector.byText(text));
}

TEST_F(DetailAgreementTest, AnAbsentClauseLeavesTheRowEmpty) {
  auto screen = show("99. 不存在的条款");
  EXPECT_FALSE(screen->service());
  EXPECT_DOUBLE_EQ(*screen->heightForRow(*screen->serviceTable(), IndexPath{0, 0}), 50);
  EXPECT_EQ(screen->serviceTable()->cellForRow(IndexPath{0, 0})->textLabel()->text(), "");

  // Unloading lets go of everything.
  screen->viewDidUnload();
  EXPECT_EQ(screen->serviceKey(), "");
  EXPECT_FALSE(screen->serviceTable());
}

}  // namespace
}  // namespace nvx
