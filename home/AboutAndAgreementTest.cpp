// The About screen (build version, hotline sheet) and the agreement's clause rows.
#include "home/AboutUsViewController.h"
#include "home/AgreementViewController.h"

#include <gtest/gtest.h>

#include "app/ui/DetailAgreementViewController.h"
#include "home/testing/HomeScreenFixture.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {
namespace {

using platform::Strings;
using platform::ui::IndexPath;

class AboutAndAgreementTest : public testing::HomeScreenFixture {
 protected:
  template <class Screen>
  std::shared_ptr<Screen> pushScreen(std::shared_ptr<Screen> screen) {
    services->navigation->push(screen, false);
    settle();
    return screen;
  }
  size_t dialled() const {
    const auto& opened = platform::UrlOpener::shared().opened();
    return static_cast<size_t>(
        std::count(opened.begin(), opened.end(), "tel:" + Strings::localized("ServicePhoneNumber")));
  }
};

TEST_F(AboutAndAgreementTest, AboutShowsTheBuildVersionAndDialsOnlyOnCall) {
  auto about = pushScreen(AboutUsViewController::create());
  const auto build = platform::Bundle::main().info("CFBundleVersion");
  ASSERT_TRUE(build);
  const auto shortVersion = platform::Bundle::main().info("CFBundleShortVersionString").value_or("");
  EXPECT_TRUE(inspector.byText(Strings::localized("AboutUsVersion") + *build)) << inspector.render();
  if (shortVersion != *build) {
    EXPECT_FALSE(inspector.byText(Strings::localized("AboutUsVersion") + shortVersion));
  }
  EXPECT_EQ(about->title(), Strings::localized("AboutUs"));

  const size_t before = dialled();
  ASSERT_TRUE(inspector.tap(Strings::localized("ServicePhoneNumberText")).isOk());
  ASSERT_TRUE(inspector.topSheet());
  ASSERT_TRUE(inspector.chooseInSheet(Strings::localized("Cancel")).isOk());
  settle();
  EXPECT_EQ(dialled(), before) << "cancelling dials nothing";
  ASSERT_TRUE(inspector.tap(Strings::localized("ServicePhoneNumberText")).isOk());
  ASSERT_TRUE(inspector.chooseInSheet(Strings::localized("Call")).isOk());
  settle();
  EXPECT_EQ(dialled() + (inspector.topAlert() ? 1u : 0u), before + 1) << "dialled, or told the phone cannot";

  ASSERT_TRUE(inspector.tap(Strings::localized("NuvexaProtocol")).isOk());
  settle();
  EXPECT_EQ(topName(), AgreementViewController::kClassName);
}

TEST_F(AboutAndAgreementTest, ClauseRowsFollowTheirNumbers) {
  // Keys in an order of their own: 12 must not stand for 1; the first of two "3." keys wins.
  std::vector<std::string> keys{"12. 附则", "10. 争议", "2. 服务内容", "11. 其他", "1. 总则", "3. 甲", "3. 乙",
                                "4. 隐私", "5. 费用", "6. 责任", "7. 变更", "8. 终止", "9. 通知"};
  struct Case {
    int number;
    std::optional<std::string> key;
  };
  for (const Case& c : {Case{1, "1. 总则"}, Case{12, "12. 附则"}, Case{3, "3. 甲"}, Case{13, std::nullopt},
                        Case{2, "2. 服务内容"}}) {
    EXPECT_EQ(AgreementViewController::keyOfClause(keys, c.number), c.key) << c.number;
  }

  auto agreement = AgreementViewController::create();
  agreement->setServiceKey(keys);
  pushScreen(agreement);
  auto& table = *agreement->agreementTable();
  ASSERT_EQ(table.numberOfRows(0), 13);
  EXPECT_EQ(table.cellForRow(IndexPath{0, 0})->textLabel()->text(), "1. 总则");
  EXPECT_EQ(table.cellForRow(IndexPath{0, 11})->textLabel()->text(), "12. 附则");
  EXPECT_FALSE(table.cellForRow(IndexPath{0, 12})->textLabelIfMade()) << "no clause 13: no text";
  const double oneLine = platform::ui::TextMetrics::measure("1. 总则", platform::ui::Font::system(16), {250, 0}).height;
  EXPECT_EQ(table.rectForRow(IndexPath{0, 0}).height, oneLine + 22);
  EXPECT_EQ(table.rectForRow(IndexPath{0, 12}).height, 44);

  ASSERT_TRUE(inspector.tapCell(table, IndexPath{0, 1}).isOk());
  settle();
  auto detail = std::dynamic_pointer_cast<DetailAgreementViewController>(services->navigation->topViewController());
  ASSERT_TRUE(detail);
  EXPECT_EQ(detail->serviceKey(), "2. 服务内容");
}

TEST_F(AboutAndAgreementTest, TheBundledAgreementListsItsClausesInOrder) {
  auto agreement = pushScreen(AgreementViewController::create());
  auto& table = *agreement->agreementTable();
  const int rows = table.numberOfRows(0);
  for (int r = 0; r < rows; ++r) {
    auto label = table.cellForRow(IndexPath{0, r})->textLabelIfMade();
    ASSERT_TRUE(label) << r;
    EXPECT_TRUE(label->text().starts_with(std::to_string(r + 1) + ".")) << label->text();
  }
}

}  // namespace
}  // namespace nvx
