#include "reader/f0002/SpeedPlist.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace nvx::reader {
namespace {

TEST(SpeedPlistTest, WritesAOneEntryArrayAndReadsItBack) {
  const std::string xml = SpeedPlist::serialize("120905");
  EXPECT_NE(xml.find("<plist version=\"1.0\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<array>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<string>120905</string>"), std::string::npos) << xml;
  EXPECT_EQ(SpeedPlist::firstString(xml), "120905");

  ASSERT_TRUE(SpeedPlist::write(SpeedPlist::path(), "120905"));
  EXPECT_EQ(SpeedPlist::path(), platform::Sandbox::documents() / "speed.plist");
  EXPECT_EQ(SpeedPlist::read(SpeedPlist::path()), "120905");
  struct stat st {};
  ASSERT_EQ(::stat(SpeedPlist::path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // Text that needs escaping survives the round trip.
  EXPECT_EQ(SpeedPlist::firstString(SpeedPlist::serialize("a<b&c>")), "a<b&c>");
}

TEST(SpeedPlistTest, TakesOnlyAStringAsTheFirstEntryOfTheRootArray) {
  struct Case {
    const char* name;
    const char* xml;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"written elsewhere, with a doctype and more entries",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist SYSTEM \"plist.dtd\">\n"
       "<plist version=\"1.0\"><array>\n\t<string>200719</string>\n\t<string>x</string>\n</array></plist>",
       "200719"},
      {"an empty string", "<plist><array><string></string></array></plist>", ""},
      {"an empty array", "<plist><array/></plist>", std::nullopt},
      {"a number first", "<plist><array><integer>200719</integer></array></plist>", std::nullopt},
      {"a dictionary root", "<plist><dict><key>a</key><string>1</string></dict></plist>", std::nullopt},
      {"another root", "<array><string>200719</string></array>", std::nullopt},
      {"not XML", "200719", std::nullopt},
      {"cut short", "<plist><array><string>2007", std::nullopt},
      {"an entity it does not expand",
       "<!DOCTYPE plist [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><plist><array><string>&e;</string></array></plist>",
       ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SpeedPlist::firstString(c.xml), c.text) << c.name;
  EXPECT_FALSE(SpeedPlist::read(platform::Sandbox::documents() / "missing.plist"));
}

// Entities the file declares itself are not followed: a few kilobytes declared once and named
// a few thousand times would otherwise become megabytes of text.
TEST(SpeedPlistTest, EntitiesTheFileDeclaresAreNotExpanded) {
  std::string references;
  for (int i = 0; i < 2000; ++i) references += "&e;";
  const std::string xml = "<!DOCTYPE plist [<!ENTITY e \"" + std::string(4000, 'x') + "\">]>" +
                          "<plist><array><string>12" + references + "34<![CDATA[56]]></string></array></plist>";
  auto text = SpeedPlist::firstString(xml);
  ASSERT_TRUE(text);
  ASSERT_LE(text->size(), 6u);
  EXPECT_EQ(*text, "123456");
}

}  // namespace
}  // namespace nvx::reader
