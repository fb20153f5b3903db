// Rules for text that users enter and the client shows: form validation patterns, keystroke
// filters and begin/end-of-editing formatting of card-number, phone-number and amount fields,
// money and masked displays, dates, the request serial and the mall service's base addresses.
//
// Patterns are ICU regular expressions ("\d" and "\w" are Unicode classes) and are found anywhere
// in the text unless anchored; isValidateEmail and isValidateName match the whole text. Lengths,
// indexes and ranges count UTF-16 units. The field filters are pure decisions: given the field's
// text, the UTF-16 range and the replacement, they say whether the field may apply the change
// itself, and what text the filter set when it changed the field on its own.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Text16.h"

namespace nvx {

class StringsTool {
 public:
  StringsTool() = delete;

  // --- Validation ---------------------------------------------------------------------------
  static bool isPhoneNumber(std::string_view text);          // ^1[0-9]{10}$
  static bool isPassword(std::string_view text);             // ^[a-zA-Z0-9]{6,20}$
  static bool isEmailAddress(std::string_view text);         // an address anywhere in the text
  static bool isValidateEmail(std::string_view text);        // the whole text is an address
  static bool isValidateName(std::string_view text);         // account-holder names
  static bool isChineseIdentityCard(std::string_view text);  // 15 or 18 characters, check character
  static bool isNumber(std::string_view text);               // ^[0-9]\d*$
  static bool isInt(std::string_view text);                  // ^[1-9]\d*$
  static bool isDecimal(std::string_view text);              // at most two decimals, no leading zero
  static bool isLetter(std::string_view text);               // ASCII letters only ("" passes)
  static bool isSpecialCharacters(std::string_view text);    // only ! @ # $ % ^ & * ("" passes)
  static bool isAllowInputlCharacters(std::string_view text);
  static bool isChineseCharacter(std::string_view text);     // every unit in U+4E00..U+9FA5
  static bool isHanzi(std::string_view text);                // every unit in (U+4E00, U+9FFF)
  static bool isChineseOrEnglishName(std::string_view text);
  static bool isCarPlateNumber(std::string_view text);
  static bool isEnginNumber(std::string_view text);
  static bool isCheJiaNumber(std::string_view text);
  static bool isZipCode(std::string_view text);
  static bool isLegalCardNumber(std::string_view text);      // Luhn, spaces ignored
  // min <= length <= max.
  static bool string(std::string_view text, unsigned lengthBetween, unsigned to);
  // The whole text matches a pattern given at run time (a server's form rule); false for a
  // pattern that is not a valid expression.
  static bool matchesWholePattern(std::string_view pattern, std::string_view text);

  // --- Field filters ------------------------------------------------------------------------
  // What a filter decided about one change of a field.
  struct FieldEdit {
    bool shouldChange = false;              // the field may apply the change itself
    std::optional<std::string> setText;     // the text the filter put in the field itself
    bool closeKeyboard = false;             // the filter closed the keyboard
  };
  // At most 11 digits, the first one "1"; with disappearKeyboard, the 11th digit sets the text
  // and closes the keyboard.
  static FieldEdit isPhoneNumberField(std::string_view fieldText, platform::Range16 range,
                                      std::string_view replacementString, bool disappearKeyboard);
  static bool isCardNumberField(std::string_view fieldText, platform::Range16 range,
                                std::string_view replacementString);
  static bool isMoneyField(std::string_view fieldText, platform::Range16 range,
                           std::string_view replacementString);
  // Formatting filters: they set the grouped text themselves (shouldChange is always false).
  static FieldEdit verfictCardNumberField(std::string_view fieldText, platform::Range16 range,
                                          std::string_view replacementString,
                                          unsigned cardNumberLength);
  static FieldEdit verfictPhoneNumberField(std::string_view fieldText, platform::Range16 range,
                                           std::string_view replacementString,
                                           unsigned phoneNumberLength, bool cancelKeyboard);
  static bool verfictMoneyField(std::string_view fieldText, std::string_view replacementString);

  // --- Begin and end of editing (the field's new text) --------------------------------------
  static std::string phoneNumberFieldBeginEditing(std::string_view fieldText);
  static std::string phoneNumberFieldEndEditing(std::string_view fieldText);
  static std::string cardNumberFieldBeginEditing(std::string_view fieldText);
  static std::string cardNumberFieldEndEditing(std::string_view fieldText);
  // A non-empty text becomes its numeric value formatted "%.2f" ("0.00" when unreadable).
  static std::string handleInputMoneysEndEditField(std::string_view fieldText);
  // The system-font size at which the text fits the field's width: one point smaller at a time
  // while measureWidth(text, size) is wider than frameWidth, never below 1 point. The field's
  // own size when it already fits.
  static double handleCardNumberEndedEditField(
      std::string_view fieldText, double fontSize, double frameWidth,
      const std::function<double(std::string_view text, double fontSize)>& measureWidth);

  // --- Grouping and cleaning ----------------------------------------------------------------
  // Groups a text without separators (phone 3-4-4..., card 4-4-4-4...), or ungroups a grouped one.
  static std::string handleString(std::string_view text, std::string_view subString,
                                  bool isPhoneNum);
  static std::string handlePhoneNumber(std::string_view text, std::string_view subString);
  static std::string handlePhoneNumber(std::string_view text);   // with "-"
  static std::string handleCardNumber(std::string_view text, std::string_view subString);
  static std::string handleCardNumber(std::string_view text);    // with " "
  static std::string clearPhoneNumber(std::string_view text);    // every "-" removed
  static std::string clearCardNumber(std::string_view text);     // every space removed
  static std::string deleteStringOther(std::string_view text);   // only the ASCII digits
  static int numberPointsFromString(std::string_view text);      // number of "."
  // A 10-character telephone number as "xxx-xxx-xxxx"; nothing for any other length.
  static std::optional<std::string> phoneStringFormater(std::string_view text);
  // The text up to its first character that is neither a digit nor "-".
  static std::string pickPhoneString(std::string_view text);
  // Every match of "http+:[^\s]*", in order.
  static std::vector<std::string> pickLinkUrl(std::string_view text);
  // The text without anything between "<" and ">".
  static std::string filterHtmlTag(std::string_view text);
  static std::string upString(std::string_view text);            // a-z to A-Z
  static std::string xNULL(const std::optional<std::string>& text);   // " " for nothing
  // The first subLen UTF-16 units (the whole text when not longer).
  static std::string deleteString(std::string_view text, size_t subLen);
  // Form-value escaping; "" when the text cannot be escaped.
  static std::string encodeURL(std::string_view text);
  // Each character's pinyin initial as a capital letter.
  static std::string getPinYinForChineseCharactor(std::string_view text);

  // --- Money, masks, dates and look-ups -----------------------------------------------------
  // formatMoney followed by the localized "CurrencyUnit".
  static std::string moneyStringForNumber(double value);
  // A text: its value with every "," removed; a number (or a bool, as 1 or 0): its value;
  // anything else 0.
  static double doubleValueFromMoneyString(const platform::Json& value);
  static double doubleValueFromMoneyString(std::string_view text);
  static double doubleValueFromMoneyString(const std::string& text) {
    return doubleValueFromMoneyString(std::string_view(text));
  }
  static double doubleValueFromMoneyString(const char* text) {
    return doubleValueFromMoneyString(std::string_view(text));
  }
  // value rounded half away from zero to afterPoint decimals, then formatted "%.2f".
  static std::string rounding(float value, int afterPoint);
  // 13 or more characters: first 6 + "******" + last 4; shorter texts unchanged.
  static std::string bankCardHalfDisplay(std::string_view text);
  // "******" + the last 4 characters; "" for nothing.
  static std::string hideDetailNum(const std::optional<std::string>& text);
  // 6 or more characters: first 3 + "****" + last 3; "" for nothing or shorter.
  static std::string hidedetailLoginName(const std::optional<std::string>& text);
  // The last 4 characters without spaces; "" for nothing or fewer than 4.
  static std::string getLastSubCardNo(const std::optional<std::string>& text);
  // A car plate as "京A · 12345"; any other text " · ".
  static std::string fomattedCardNumber(std::string_view text);
  // 16 up to 16 characters, then one point smaller for every further 4.
  static float getTextFont(const std::optional<std::string>& text);
  // "SUCCESS" 成功, "FAILURE" 失败, "ACCEPT" 已接收, "PROCESSING" 处理中, else " ".
  static std::string getTradeHisStatus(std::string_view status);
  // Milliseconds since 1970 as local "yyyy年MM月dd日 HH:mm[:ss]".
  static std::optional<std::string> dateTransformation(std::string_view milliseconds,
                                                       bool displaySecond);
  // "HHmmss" as "HH:mm:ss"; nothing when the text is not such a time.
  static std::optional<std::string> timeHHMMSS(std::string_view text);
  // Now as "YYMMddhhmmss" (week-based year, 12-hour clock hour): the transaction time tdtm.
  static std::string getTime();
  // The next 6-digit request serial, stored (and written to disk) before it is returned.
  static std::string getSeries();
  // The lower-case hex MD5 of now's description ("yyyy-MM-dd HH:mm:ss +0000").
  static std::string randomString();
  static std::string getImageUrl(std::string_view url);
  // "http://" + the mall host + "/websrv/mobileclient/" (host: environment NVX_MALL_HOST).
  static std::string mallServerAddress();
  // The same with "mobileclient_2_0v".
  static std::string secondServerAddress();
};

}  // namespace nvx
