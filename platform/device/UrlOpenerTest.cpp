#include "platform/device/UrlOpener.h"

#include <gtest/gtest.h>

#include "platform/device/Pasteboard.h"
#include "platform/foundation/Process.h"

namespace platform {
namespace {

TEST(UrlOpener, OpensOnlyConfiguredSchemes) {
  auto& opener = UrlOpener::shared();
  struct Case { const char* url; bool opens; };
  const Case cases[] = {
      {"tel:95588", true},
      {"TEL:95588", true},
      {"http://example.test/a", true},
      {"https://example.test/a?b=c", true},
      {"nvx://pay?callIdentifier=1", false},
      {"cmbnuvexa://x", false},
      {"mailto:a@b.c", false},
      {"95588", false},
      {":nothing", false},
      {"1tel:95588", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(opener.canOpen(c.url), c.opens) << c.url;
    EXPECT_EQ(opener.open(c.url), c.opens) << c.url;
  }
  EXPECT_EQ(opener.opened(), (std::vector<std::string>{"tel:95588", "TEL:95588", "http://example.test/a",
                                                       "https://example.test/a?b=c"}));
}

TEST(UrlOpener, SchemesAreASetting) {
  auto& opener = UrlOpener::shared();
  opener.setOpenable("CMBNuvexa", true);
  opener.setOpenable("tel", false);
  EXPECT_TRUE(opener.open("cmbnuvexa://host&sResponseXml=<x/>"));
  EXPECT_FALSE(opener.open("tel:95588"));
  EXPECT_EQ(opener.opened().size(), 1u);

  Process::current().reset(ResetKind::Restart);
  EXPECT_EQ(UrlOpener::shared().openableSchemes(), (std::set<std::string>{"http", "https", "tel"}));
  EXPECT_TRUE(UrlOpener::shared().opened().empty());
}

TEST(Pasteboard, HoldsOneOptionalText) {
  auto& board = Pasteboard::general();
  EXPECT_EQ(board.string(), std::nullopt);
  board.setString("复制的链接");
  EXPECT_EQ(Pasteboard::general().string(), "复制的链接");
  board.setString(std::nullopt);
  EXPECT_EQ(board.string(), std::nullopt);
}

}  // namespace
}  // namespace platform
