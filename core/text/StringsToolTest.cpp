#include "core/text/StringsTool.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/testing/TestTimeZone.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

using platform::Json;
using platform::Range16;
using std::chrono::seconds;

// --- Validation ---------------------------------------------------------------------------------

struct RuleCase {
  bool (*rule)(std::string_view);
  const char* name;
  const char* text;
  bool expected;
};

#define RULE(f) &StringsTool::f, #f

TEST(StringsToolTest, ValidationPatterns) {
  const RuleCase cases[] = {
      {RULE(isPhoneNumber), "13800138000", true},
      {RULE(isPhoneNumber), "23800138000", false},
      {RULE(isPhoneNumber), "1380013800", false},
      {RULE(isPhoneNumber), "138001380001", false},
      {RULE(isPassword), "abc123", true},
      {RULE(isPassword), "abc12", false},
      {RULE(isPassword), "abcdefghij0123456789", true},
      {RULE(isPassword), "abcdefghij01234567890", false},
      {RULE(isPassword), "abc_123", false},
      {RULE(isEmailAddress), "mail john.doe@example.com today", true},
      {RULE(isEmailAddress), "john@localhost", false},
      {RULE(isValidateEmail), "mail john.doe@example.com today", false},
      {RULE(isValidateEmail), "john.doe@example.com", true},
      {RULE(isValidateEmail), "john@example.museum", false},
      {RULE(isValidateName), "张三", true},
      {RULE(isValidateName), "John A. Smith", true},
      {RULE(isValidateName), "张-三", false},
      {RULE(isValidateName), "", false},
      {RULE(isNumber), "0123", true},
      {RULE(isNumber), "1２3", true},     // "\d" is Unicode after the first digit
      {RULE(isNumber), "１23", false},
      {RULE(isNumber), "12a", false},
      {RULE(isNumber), "", false},
      {RULE(isInt), "10", true},
      {RULE(isInt), "0", false},
      {RULE(isInt), "01", false},
      {RULE(isDecimal), "0.5", true},
      {RULE(isDecimal), "0.55", true},
      {RULE(isDecimal), "12.3", true},
      {RULE(isDecimal), "100000000", true},
      {RULE(isDecimal), "0", false},
      {RULE(isDecimal), "0.", false},
      {RULE(isDecimal), "012", false},
      {RULE(isDecimal), "1.234", false},
      {RULE(isLetter), "", true},
      {RULE(isLetter), "abcXYZ", true},
      {RULE(isLetter), "ab1", false},
      {RULE(isSpecialCharacters), "", true},
      {RULE(isSpecialCharacters), "!@#$%^&*", true},
      {RULE(isSpecialCharacters), "!a", false},
      {RULE(isSpecialCharacters), "(", false},
      {RULE(isAllowInputlCharacters), "", true},
      {RULE(isAllowInputlCharacters), "_-,.!?，。！？", true},
      {RULE(isAllowInputlCharacters), "abc中文123", true},
      {RULE(isAllowInputlCharacters), "\n", false},
      {RULE(isAllowInputlCharacters), "abc\n", false},
      {RULE(isAllowInputlCharacters), "abc!", false},
      {RULE(isAllowInputlCharacters), " ", false},
      {RULE(isChineseCharacter), "一", true},
      {RULE(isChineseCharacter), "龥", true},
      {RULE(isChineseCharacter), "", true},
      {RULE(isChineseCharacter), "中a", false},
      {RULE(isChineseCharacter), "\u9FA6", false},
      {RULE(isHanzi), "一", false},
      {RULE(isHanzi), "丁", true},
      {RULE(isHanzi), "", true},
      {RULE(isHanzi), "\u9FFE", true},
      {RULE(isHanzi), "\u9FFF", false},
      {RULE(isChineseOrEnglishName), "张", false},
      {RULE(isChineseOrEnglishName), "张三", true},
      {RULE(isChineseOrEnglishName), "Li雷", true},
      {RULE(isChineseOrEnglishName), "Li Lei", false},
      {RULE(isCarPlateNumber), "京A12345", true},
      {RULE(isCarPlateNumber), "京AB_123", true},
      {RULE(isCarPlateNumber), "京A1234", false},
      {RULE(isCarPlateNumber), "京a12345", false},
      {RULE(isEnginNumber), "AB12cd", true},
      {RULE(isEnginNumber), "AB-12", false},
      {RULE(isEnginNumber), "", false},
      {RULE(isCheJiaNumber), "LSVAA4182E2000000", true},
      {RULE(isZipCode), "100000", true},
      {RULE(isZipCode), "010000", false},
      {RULE(isZipCode), "1000000", false},
  };
  for (const RuleCase& c : cases) {
    EXPECT_EQ(c.rule(c.text), c.expected) << c.name << "(\"" << c.text << "\")";
  }
  EXPECT_TRUE(StringsTool::isChineseOrEnglishName(std::string(32, 'a')));
  EXPECT_FALSE(StringsTool::isChineseOrEnglishName(std::string(33, 'a')));
  EXPECT_TRUE(StringsTool::isEnginNumber(std::string(30, 'A')));
  EXPECT_FALSE(StringsTool::isEnginNumber(std::string(31, 'A')));
}

TEST(StringsToolTest, IdentityNumberCheckCharacter) {
  EXPECT_TRUE(StringsTool::isChineseIdentityCard("11010519491231002X"));
  EXPECT_TRUE(StringsTool::isChineseIdentityCard("11010519491231002x"));
  EXPECT_TRUE(StringsTool::isChineseIdentityCard("440301199001011234"));
  EXPECT_FALSE(StringsTool::isChineseIdentityCard("440301199001011235"));   // wrong check digit
  EXPECT_FALSE(StringsTool::isChineseIdentityCard("110105194912310021"));
  EXPECT_TRUE(StringsTool::isChineseIdentityCard("110105491231002"));       // 15: no check
  EXPECT_FALSE(StringsTool::isChineseIdentityCard("11010519491231002"));    // 17
  EXPECT_FALSE(StringsTool::isChineseIdentityCard("11010549123100X"));      // X only at 18
}

TEST(StringsToolTest, LuhnCardNumbers) {
  struct Case { const char* text; bool legal; };
  const Case cases[] = {
      {"4111111111111111", true},
      {"4111 1111 1111 1111", true},     // spaces ignored
      {"4111111111111112", false},
      {"123456782", false},              // Luhn-valid, but 9 characters
      {"1234 56782", true},              // the space counts for the minimum
      {"9999999904X", true},             // a last character that is not a digit counts as 0
      {"41111a1111111111", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(StringsTool::isLegalCardNumber(c.text), c.legal) << c.text;
  EXPECT_TRUE(StringsTool::string("中文ab", 2, 4));
  EXPECT_FALSE(StringsTool::string("中文abc", 2, 4));
  EXPECT_FALSE(StringsTool::string("a", 2, 4));
}

// --- Field filters ------------------------------------------------------------------------------

Range16 at(size_t location, size_t length = 0) { return Range16{location, length}; }

TEST(StringsToolTest, PhoneFieldFilter) {
  auto edit = StringsTool::isPhoneNumberField("", at(0), "1", false);
  EXPECT_TRUE(edit.shouldChange);
  EXPECT_FALSE(StringsTool::isPhoneNumberField("", at(0), "2", false).shouldChange);
  EXPECT_FALSE(StringsTool::isPhoneNumberField("", at(0), "13800138000", false).shouldChange);
  EXPECT_FALSE(StringsTool::isPhoneNumberField("138", at(3), "a", false).shouldChange);
  EXPECT_TRUE(StringsTool::isPhoneNumberField("138", at(2, 1), "", false).shouldChange);
  EXPECT_FALSE(StringsTool::isPhoneNumberField("13800138000", at(11), "1", false).shouldChange);
  EXPECT_FALSE(StringsTool::isPhoneNumberField("138", at(5), "1", false).shouldChange);   // bad range

  auto last = StringsTool::isPhoneNumberField("1380013800", at(10), "0", false);
  EXPECT_TRUE(last.shouldChange);
  EXPECT_FALSE(last.setText);

  auto closing = StringsTool::isPhoneNumberField("1380013800", at(10), "0", true);
  EXPECT_FALSE(closing.shouldChange);
  EXPECT_EQ(closing.setText, "13800138000");
  EXPECT_TRUE(closing.closeKeyboard);
}

TEST(StringsToolTest, CardFieldFilter) {
  EXPECT_TRUE(StringsTool::isCardNumberField(std::string(31, '1'), at(31), "2"));
  EXPECT_FALSE(StringsTool::isCardNumberField(std::string(32, '1'), at(32), "2"));
  EXPECT_FALSE(StringsTool::isCardNumberField("6222", at(4), "x"));
  EXPECT_TRUE(StringsTool::isCardNumberField("6222", at(3, 1), ""));
}

TEST(StringsToolTest, AmountFieldFilter) {
  struct Case { const char* old; Range16 range; const char* typed; bool accepted; };
  const Case cases[] = {
      {"", at(0), "0", true},       {"0", at(1), ".", true},     {"", at(0), ".", true},
      {"12.", at(3), "3", true},    {"12", at(2), ".", true},    {"10000000", at(8), "0", true},
      {"12.3", at(4), "", true},    {"1", at(0, 1), "", true},   {"0", at(1), "0", false},
      {"01", at(0), "0", false},    {"0", at(1), "12", false},   {"1.23", at(4), "4", false},
      {"100000000", at(9), ".01", false},  {"1.", at(2), ".", false},  {"12", at(2), "a", false},
      {"1", at(3), "2", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StringsTool::isMoneyField(c.old, c.range, c.typed), c.accepted)
        << '"' << c.old << "\" + \"" << c.typed << '"';
  }
}

TEST(StringsToolTest, FormattingFiltersSetTheGroupedText) {
  auto card = StringsTool::verfictCardNumberField("6222 0212 3456", at(14), "7", 16);
  EXPECT_FALSE(card.shouldChange);
  EXPECT_EQ(card.setText, "6222 0212 3456 7");
  auto pasted = StringsTool::verfictCardNumberField("", at(0), "6222-0212 3456", 16);
  EXPECT_EQ(pasted.setText, "6222 0212 3456");
  EXPECT_FALSE(StringsTool::verfictCardNumberField("6222", at(4), "ab", 16).setText);
  EXPECT_FALSE(StringsTool::verfictCardNumberField("6222 0212 3456 7890", at(19), "1", 16).setText);

  auto phone = StringsTool::verfictPhoneNumberField("138-0013-800", at(12), "0", 11, true);
  EXPECT_EQ(phone.setText, "138-0013-8000");
  EXPECT_TRUE(phone.closeKeyboard);
  auto shorter = StringsTool::verfictPhoneNumberField("138-0013-8", at(10), "0", 11, true);
  EXPECT_EQ(shorter.setText, "138-0013-80");
  EXPECT_FALSE(shorter.closeKeyboard);
  EXPECT_FALSE(StringsTool::verfictPhoneNumberField("138-0013-8000", at(13), "1", 11, true).setText);
}

TEST(StringsToolTest, MoneyFormattingFilter) {
  struct Case { const char* old; const char* typed; bool accepted; };
  const Case cases[] = {
      {"", ".", false},         {"12", ".", true},        {"1.2", "3", true},
      {"1.23", "4", false},     {"999999999", "9", false}, {"", "5", true},
      {"12", "", true},         {"12.", ".", false},      {"0", "1", false},
      {"12345678.1", "2", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StringsTool::verfictMoneyField(c.old, c.typed), c.accepted)
        << '"' << c.old << "\" + \"" << c.typed << '"';
  }
}

TEST(StringsToolTest, BeginAndEndOfEditing) {
  EXPECT_EQ(StringsTool::phoneNumberFieldBeginEditing("138-0013-8000"), "13800138000");
  EXPECT_EQ(StringsTool::phoneNumberFieldEndEditing("13800138000"), "138-0013-8000");
  EXPECT_EQ(StringsTool::cardNumberFieldBeginEditing("6222 0212"), "62220212");
  EXPECT_EQ(StringsTool::cardNumberFieldEndEditing("62220212"), "6222 0212");
  EXPECT_EQ(StringsTool::handleInputMoneysEndEditField("12.5"), "12.50");
  EXPECT_EQ(StringsTool::handleInputMoneysEndEditField("abc"), "0.00");
  EXPECT_EQ(StringsTool::handleInputMoneysEndEditField("1,000"), "1.00");
  EXPECT_EQ(StringsTool::handleInputMoneysEndEditField(""), "");
}

TEST(StringsToolTest, CardNumberFontShrinksUntilTheTextFits) {
  auto measure = [](std::string_view text, double size) { return double(text.size()) * size * 0.5; };
  // 19 characters: 19 * 16 * 0.5 = 152 > 140; at 14 points 133 fits.
  EXPECT_EQ(StringsTool::handleCardNumberEndedEditField("6222 0212 3456 7890", 16, 140, measure), 14);
  EXPECT_EQ(StringsTool::handleCardNumberEndedEditField("6222", 16, 140, measure), 16);
  EXPECT_EQ(StringsTool::handleCardNumberEndedEditField("6222 0212", 16, 0, measure), 1);
}

// --- Grouping and cleaning ----------------------------------------------------------------------

TEST(StringsToolTest, GroupingAndUngrouping) {
  struct Case { const char* in; bool phone; const char* out; };
  const Case cases[] = {
      {"1381", true, "138-1"},
      {"138", true, "138"},
      {"1380013", true, "138-0013"},
      {"13800138", true, "138-0013-8"},
      {"13800138000", true, "138-0013-8000"},
      {"138-0013-8000", true, "13800138000"},
      {"138-1", true, "1381"},
      {"6222021234567890", false, "6222 0212 3456 7890"},
      {"6222021234567890123", false, "6222 0212 3456 7890 123"},
      {"6222 0212 3456 7890 123", false, "6222021234567890123"},
      {"62220", false, "6222 0"},
      {"", false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.phone ? StringsTool::handlePhoneNumber(c.in) : StringsTool::handleCardNumber(c.in),
              c.out)
        << c.in;
  }
  // Grouping stops after ten separators.
  std::string longDigits(60, '1');
  std::string grouped = StringsTool::handleCardNumber(longDigits);
  EXPECT_EQ(std::count(grouped.begin(), grouped.end(), ' '), 10);
}

TEST(StringsToolTest, Cleaning) {
  EXPECT_EQ(StringsTool::clearPhoneNumber("138-0013-8000"), "13800138000");
  EXPECT_EQ(StringsTool::clearCardNumber(" 6222 02 "), "622202");
  EXPECT_EQ(StringsTool::deleteStringOther("a1-2 3４"), "123");
  EXPECT_EQ(StringsTool::numberPointsFromString("1.2.3"), 2);
  EXPECT_EQ(StringsTool::numberPointsFromString(""), 0);
  EXPECT_EQ(StringsTool::phoneStringFormater("0105551234"), "010-555-1234");
  EXPECT_EQ(StringsTool::phoneStringFormater("010555123"), std::nullopt);
  EXPECT_EQ(StringsTool::pickPhoneString("call me"), "");
  EXPECT_EQ(StringsTool::pickPhoneString("13800138000 call"), "13800138000");
  EXPECT_EQ(StringsTool::pickPhoneString("010-1234ext"), "010-1234");
  EXPECT_EQ(StringsTool::pickPhoneString("12345"), "12345");
  EXPECT_EQ(StringsTool::pickLinkUrl("see http://a.com/x and https://b.com y httpp:z"),
            (std::vector<std::string>{"http://a.com/x", "httpp:z"}));
  EXPECT_EQ(StringsTool::filterHtmlTag("<p>Hi <b>there</b></p>"), "Hi there");
  EXPECT_EQ(StringsTool::upString("abc中z1"), "ABC中Z1");
  EXPECT_EQ(StringsTool::xNULL(std::nullopt), " ");
  EXPECT_EQ(StringsTool::xNULL(std::string()), "");
  EXPECT_EQ(StringsTool::deleteString("中文abc", 2), "中文");
  EXPECT_EQ(StringsTool::deleteString("ab", 5), "ab");
  EXPECT_EQ(StringsTool::encodeURL("a b/中"), "a%20b%2F%E4%B8%AD");
  EXPECT_EQ(StringsTool::getPinYinForChineseCharactor("北京abc1"), "BJABC1");
  EXPECT_EQ(StringsTool::getPinYinForChineseCharactor("重庆"), "ZQ");
}

// --- Money, masks, dates and look-ups -----------------------------------------------------------

TEST(StringsToolTest, MoneyTexts) {
  platform::Path bundle = platform::testing::sandboxRoot() / "bundle";
  ASSERT_TRUE(platform::fs::writeAtomic(bundle / "zh-Hans.strings.json", R"({"CurrencyUnit":"元"})"));
  platform::Sandbox::setBundle(bundle);
  EXPECT_EQ(StringsTool::moneyStringForNumber(1234.5), "1,234.50元");
  EXPECT_EQ(StringsTool::moneyStringForNumber(0.0625), "0.062元");

  EXPECT_DOUBLE_EQ(StringsTool::doubleValueFromMoneyString("1,234.50"), 1234.5);
  EXPECT_DOUBLE_EQ(StringsTool::doubleValueFromMoneyString(Json("1,234.50")), 1234.5);
  EXPECT_DOUBLE_EQ(StringsTool::doubleValueFromMoneyString(Json(12)), 12);
  EXPECT_DOUBLE_EQ(StringsTool::doubleValueFromMoneyString(Json::array({1})), 0);

  struct Case { float value; int afterPoint; const char* text; };
  const Case cases[] = {
      {2.675f, 2, "2.68"},   {1.005f, 2, "1.01"},   {-2.5f, 0, "-3.00"},  {0.5f, 0, "1.00"},
      {2.45f, 1, "2.50"},    {3.14159f, 3, "3.14"}, {12.0f, 2, "12.00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StringsTool::rounding(c.value, c.afterPoint), c.text) << c.value << " " << c.afterPoint;
  }
}

TEST(StringsToolTest, Masks) {
  EXPECT_EQ(StringsTool::bankCardHalfDisplay("622202123456"), "622202123456");
  EXPECT_EQ(StringsTool::bankCardHalfDisplay("6222021234567"), "622202******4567");
  EXPECT_EQ(StringsTool::hideDetailNum(std::nullopt), "");
  EXPECT_EQ(StringsTool::hideDetailNum("123"), "******123");
  EXPECT_EQ(StringsTool::hideDetailNum("6222021234567890"), "******7890");
  EXPECT_EQ(StringsTool::hidedetailLoginName("13800138000"), "138****000");
  EXPECT_EQ(StringsTool::hidedetailLoginName("12345"), "");
  EXPECT_EQ(StringsTool::hidedetailLoginName(std::nullopt), "");
  EXPECT_EQ(StringsTool::getLastSubCardNo("6222 0212 3456 7890"), "7890");
  EXPECT_EQ(StringsTool::getLastSubCardNo("12 3"), "");
  EXPECT_EQ(StringsTool::getLastSubCardNo(std::nullopt), "");
  EXPECT_EQ(StringsTool::fomattedCardNumber("京A12345"), "京A · 12345");
  EXPECT_EQ(StringsTool::fomattedCardNumber("ABC"), " · ");
  EXPECT_EQ(StringsTool::getTextFont(std::nullopt), 16.0f);
  EXPECT_EQ(StringsTool::getTextFont(std::string(16, 'a')), 16.0f);
  EXPECT_EQ(StringsTool::getTextFont(std::string(17, 'a')), 13.0f);
  EXPECT_EQ(StringsTool::getTextFont(std::string(20, 'a')), 12.0f);
  EXPECT_EQ(StringsTool::getTradeHisStatus("SUCCESS"), "成功");
  EXPECT_EQ(StringsTool::getTradeHisStatus("FAILURE"), "失败");
  EXPECT_EQ(StringsTool::getTradeHisStatus("ACCEPT"), "已接收");
  EXPECT_EQ(StringsTool::getTradeHisStatus("PROCESSING"), "处理中");
  EXPECT_EQ(StringsTool::getTradeHisStatus("success"), " ");
}

class StringsToolTimeTest : public ::testing::Test {
 protected:
  testing::ScopedTimeZone zone_{"Asia/Shanghai"};
};

TEST_F(StringsToolTimeTest, DatesAndTimes) {
  EXPECT_EQ(StringsTool::dateTransformation("1370052000000", true), "2013年06月01日 10:00:00");
  EXPECT_EQ(StringsTool::dateTransformation("1370052005999", false), "2013年06月01日 10:00");
  EXPECT_EQ(StringsTool::timeHHMMSS("093005"), "09:30:05");
  EXPECT_EQ(StringsTool::timeHHMMSS("9305"), std::nullopt);
  EXPECT_EQ(StringsTool::timeHHMMSS("256000"), std::nullopt);
}

TEST_F(StringsToolTimeTest, GetTimeUsesWeekYearAndTwelveHourClock) {
  // 2013-06-01 15:04:05 Shanghai.
  platform::virtualClock()->setWall(platform::WallTime(seconds(1370070245)));
  EXPECT_EQ(StringsTool::getTime(), "130601030405");
  // Monday 2012-12-31 14:00 Shanghai lies in the first week of 2013.
  platform::virtualClock()->setWall(platform::WallTime(seconds(1356933600)));
  EXPECT_EQ(StringsTool::getTime(), "131231020000");
}

TEST_F(StringsToolTimeTest, RandomStringHashesTheUtcDescription) {
  platform::virtualClock()->setWall(platform::WallTime(seconds(1370052000)));
  // MD5 of "2013-06-01 02:00:00 +0000".
  EXPECT_EQ(StringsTool::randomString(), "81b1cbac2106b412950d582de6821a30");
}

TEST(StringsToolTest, SeriesCountsWrapsAndIsOnDiskBeforeUse) {
  auto& defaults = platform::UserDefaults::standard();
  EXPECT_EQ(StringsTool::getSeries(), "000001");
  EXPECT_EQ(StringsTool::getSeries(), "000002");
  EXPECT_EQ(defaults.integer("series"), 2);

  defaults.set("series", 999998);
  EXPECT_EQ(StringsTool::getSeries(), "999999");
  EXPECT_EQ(StringsTool::getSeries(), "000000");
  auto file = platform::fs::read(platform::UserDefaults::file());
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("\"series\":0"), std::string::npos) << *file;

  defaults.set("series", 5000000);   // out of range: start again
  EXPECT_EQ(StringsTool::getSeries(), "000000");
}

TEST(StringsToolTest, SeriesSurvivesARestart) {
  EXPECT_EQ(StringsTool::getSeries(), "000001");
  platform::testing::restart();
  EXPECT_EQ(StringsTool::getSeries(), "000002");
}

TEST(StringsToolTest, AddressesAndImages) {
  EXPECT_EQ(StringsTool::getImageUrl("http://a/b.png"), "http://a/b.png");
  EXPECT_EQ(StringsTool::getImageUrl("b.png"), "b.png");
  ::setenv("NVX_MALL_HOST", "mall.test:8080", 1);
  EXPECT_EQ(StringsTool::mallServerAddress(), "http://mall.test:8080/websrv/mobileclient/");
  EXPECT_EQ(StringsTool::secondServerAddress(), "http://mall.test:8080/websrv/mobileclient_2_0v/");
  ::unsetenv("NVX_MALL_HOST");
}

}  // namespace
}  // namespace nvx
