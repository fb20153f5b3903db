#include "app/ui/ServiceAgreement.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using Clauses = std::map<std::string, std::string>;

// Entities declared inside the document used to be expanded wherever a key or text was read: this
// 3.5 KB document became 90 MB of text (and a bigger one within the size limit exhausted memory).
TEST(ServiceAgreementEntities, DeclaredEntitiesAreNeverExpanded) {
  std::string e1;
  for (int i = 0; i < 300; ++i) e1 += "&e0;";
  std::string refs;
  for (int i = 0; i < 300; ++i) refs += "&e1;";
  const std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY e0 \"" + std::string(999, 'a') +
                          "\">\n<!ENTITY e1 \"" + e1 + "\">\n]>\n<plist><dict><key>k&e0;</key><string>a" + refs +
                          "b</string><key>one</key><string>&e0;</string></dict></plist>";
  EXPECT_EQ(ServiceAgreement::parseStringDictionary(xml), (Clauses{{"k", "ab"}, {"one", ""}}));
}

TEST(ServiceAgreementEntities, TextCdataAndCharacterReferencesAreStillRead) {
  const std::string xml =
      "<plist><dict><key>a&lt;b</key><string>x<![CDATA[<y>]]>&#x4E2D;&#25991;<i>z<b>!</b></i><!-- no -->.</string>"
      "</dict></plist>";
  EXPECT_EQ(ServiceAgreement::parseStringDictionary(xml), (Clauses{{"a<b", "x<y>中文z!."}}));
}

}  // namespace
}  // namespace nvx
