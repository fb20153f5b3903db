#include "app/ui/ColorExt.h"

#include <gtest/gtest.h>

#include "app/ui/FontExt.h"

namespace nvx {
namespace {

using platform::ui::Color;
using platform::ui::Font;

TEST(ColorExtTest, ColorFromHexRGB) {
  struct Case {
    std::optional<std::string_view> text;
    Color color;
  };
  const Color red = Color::rgb255(255, 0, 0);
  const Case cases[] = {
      {"FF0000", red},
      {"ff0000", red},
      {"0xFF0000", red},
      {"0XFF0000", red},
      {"  FF0000", red},                                // leading white space is skipped
      {"#FF0000", Color::black()},                      // a number sign reads nothing
      {"", Color::black()},
      {std::nullopt, Color::black()},
      {"0x", Color::black()},
      {"00FF00", Color::rgb255(0, 255, 0)},
      {"FF", Color::rgb255(0, 0, 255)},                 // a short number: blue only
      {"12345G78", Color::rgb255(0x01, 0x23, 0x45)},    // reading stops at the first non-digit
      {"1FF0000", red},                                 // digits above RRGGBB are ignored
      {"123456789AB", Color::rgb255(255, 255, 255)},   // too large for 32 bits: all ones
  };
  for (const Case& c : cases) {
    Color got = ColorExt::colorFromHexRGB(c.text);
    EXPECT_EQ(got, c.color) << (c.text ? std::string(*c.text) : std::string("(nil)"));
    EXPECT_EQ(got.a, 1.0);
  }
}

TEST(ColorExtTest, DefaultColoursAndFonts) {
  EXPECT_EQ(ColorExt::defaultPageViewBgColor(), Color::white());
  EXPECT_EQ(ColorExt::defaultSimpleTableViewBgColor(), Color::white());
  EXPECT_EQ(ColorExt::defaultGroupTableViewBgColor(), Color::clear());
  EXPECT_EQ(ColorExt::defaultLabelBgColor(), Color::clear());
  EXPECT_EQ(ColorExt::defaultSimpleCellBgColor(), Color::white());
  EXPECT_EQ(ColorExt::defaultGroupCellBgColor(), Color::white());
  EXPECT_EQ(ColorExt::defaultButtonDisableTitleColor(), Color::gray(0.5));
  EXPECT_EQ(ColorExt::defaultNavItemDisableTitleColor(), Color::gray(0.5));
  EXPECT_EQ(ColorExt::defaultPromptBgColor(), Color::rgb255(248, 248, 193));
  EXPECT_EQ(ColorExt::separatorColor(), Color::rgb255(202, 204, 204));
  EXPECT_EQ(ColorExt::functionDescColor(), Color::gray(0.2));

  struct FontCase {
    const char* name;
    Font font;
    double size;
  };
  const FontCase fonts[] = {
      {"defaultDescFont", FontExt::defaultDescFont(), 14},
      {"defaultButtonFont", FontExt::defaultButtonFont(), 16},
      {"defaultLabelFont", FontExt::defaultLabelFont(), 16},
      {"strongLabelFont", FontExt::strongLabelFont(), 18},
      {"defaultNavTitleFont", FontExt::defaultNavTitleFont(), 18},
      {"defaultNavItemFont", FontExt::defaultNavItemFont(), 12},
      {"groupCellLeftLabelFont", FontExt::groupCellLeftLabelFont(), 16},
      {"defaultTextFieldFont", FontExt::defaultTextFieldFont(), 16},
      {"groupCellTextFieldFont", FontExt::groupCellTextFieldFont(), 16},
  };
  for (const FontCase& f : fonts) EXPECT_EQ(f.font, Font::system(f.size)) << f.name;
}

}  // namespace
}  // namespace nvx
