#include "core/text/StringsTool.h"

#include <array>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/locid.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "core/text/DateFormats.h"
#include "core/crypto/Digest.h"
#include "core/text/MoneyFormat.h"
#include "core/text/Pinyin.h"
#include "core/text/TextNumber.h"
#include "core/text/UrlEscaping.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {

namespace {

constexpr const char* kSeriesKey = "series";
constexpr int64_t kSeriesMax = 999999;

// Serial numbers are taken from any thread; one at a time, so that no two requests share one.
struct SeriesLock {
  std::mutex mutex;
};

icu::UnicodeString u16(std::string_view s) {
  return icu::UnicodeString::fromUTF8(
      icu::StringPiece(s.data(), int32_t(std::min<size_t>(s.size(), INT32_MAX))));
}

std::string utf8(const icu::UnicodeString& s) {
  std::string out;
  s.toUTF8String(out);
  return out;
}

std::unique_ptr<icu::RegexMatcher> matcher(std::string_view pattern, const icu::UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  auto m = std::make_unique<icu::RegexMatcher>(u16(pattern), text, 0, status);
  if (U_FAILURE(status)) {
    platform::log::error("StringsTool", std::string("bad pattern ") + std::string(pattern) + ": " +
                                            u_errorName(status));
    return nullptr;
  }
  return m;
}

enum class Match { Anywhere, Whole };

bool matchesPattern(std::string_view pattern, std::string_view text, Match how) {
  icu::UnicodeString t = u16(text);
  auto m = matcher(pattern, t);
  if (!m) return false;
  UErrorCode status = U_ZERO_ERROR;
  bool hit = how == Match::Whole ? m->matches(status) : m->find(status);
  return U_SUCCESS(status) && hit;
}

// The pattern is found somewhere in the text (anchors make it a whole-text test).
bool found(std::string_view pattern, std::string_view text) {
  return matchesPattern(pattern, text, Match::Anywhere);
}

// The whole text matches the pattern.
bool matchesWhole(std::string_view pattern, std::string_view text) {
  return matchesPattern(pattern, text, Match::Whole);
}

std::string removeAll(std::string_view text, char c) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    if (ch != c) out += ch;
  }
  return out;
}

bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::string format2f(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

std::string mallHost() {
  const char* host = std::getenv("NVX_MALL_HOST");
  return host && *host ? std::string(host) : std::string("127.0.0.1");
}

}  // namespace

// --- Validation -------------------------------------------------------------------------------

bool StringsTool::isPhoneNumber(std::string_view text) { return found(R"re(^1[0-9]{10}$)re", text); }

bool StringsTool::isPassword(std::string_view text) {
  return found(R"re(^[a-zA-Z0-9]{6,20}$)re", text);
}

bool StringsTool::isEmailAddress(std::string_view text) {
  return found(R"re(\b([a-zA-Z0-9%_.+\-]+)@([a-zA-Z0-9.\-]+?\.[a-zA-Z]{2,6})\b)re", text);
}

bool StringsTool::isValidateEmail(std::string_view text) {
  return matchesWhole(R"re([A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,4})re", text);
}

bool StringsTool::matchesWholePattern(std::string_view pattern, std::string_view text) {
  return matchesWhole(pattern, text);
}

bool StringsTool::isValidateName(std::string_view text) {
  return matchesWhole(R"re([\w\u4e00-\u9fa5\. ]+)re", text);
}

bool StringsTool::isChineseIdentityCard(std::string_view text) {
  if (!found(R"re(^(\d{15}$|^\d{18}$|^\d{17}(\d|X|x))$)re", text)) return false;
  std::u16string s = platform::toUtf16(text);
  if (s.size() == 15) return true;
  if (s.size() != 18) return false;
  static constexpr std::array<int, 17> kWeights = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  static constexpr std::string_view kCheck = "10X98765432";
  int sum = 0;
  for (size_t i = 0; i < kWeights.size(); ++i) {
    // A digit of another script passes the pattern but reads as 0, as the platform reads it.
    int digit = isAsciiDigit(s[i]) ? s[i] - u'0' : 0;
    sum += digit * kWeights[i];
  }
  char16_t last = s[17] == u'x' ? u'X' : s[17];
  return last == char16_t(kCheck[size_t(sum % 11)]);
}

bool StringsTool::isNumber(std::string_view text) { return found(R"re(^[0-9]\d*$)re", text); }

bool StringsTool::isInt(std::string_view text) { return found(R"re(^[1-9]\d*$)re", text); }

bool StringsTool::isDecimal(std::string_view text) {
  return found(R"re(^((0\.[0-9]{1,2})|([1-9]+[0-9]*\.[0-9]{1,2})|([1-9]+[0-9]*))$)re", text);
}

bool StringsTool::isLetter(std::string_view text) { return found(R"re(^[a-zA-Z]*$)re", text); }

bool StringsTool::isSpecialCharacters(std::string_view text) {
  return found(R"re(^[\!\@\#\$\%\^\&\*]*$)re", text);
}

bool StringsTool::isAllowInputlCharacters(std::string_view text) {
  // "\z": "$" would also match before a closing line break, letting "\n" through.
  return found(R"re(^[\_\-\,\.\!\?\，\。\！\？]*\z)re", text) ||
         found(R"re(^[a-zA-Z0-9一-龥]+\z)re", text);
}

bool StringsTool::isChineseCharacter(std::string_view text) {
  for (char16_t c : platform::toUtf16(text)) {
    if (c < 0x4E00 || c > 0x9FA5) return false;
  }
  return true;
}

bool StringsTool::isHanzi(std::string_view text) {
  for (char16_t c : platform::toUtf16(text)) {
    if (c <= 0x4E00 || c >= 0x9FFF) return false;
  }
  return true;
}

bool StringsTool::isChineseOrEnglishName(std::string_view text) {
  std::u16string s = platform::toUtf16(text);
  if (s.size() < 2 || s.size() > 32) return false;
  for (char16_t c : s) {
    bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    bool chinese = c >= 0x4E00 && c <= 0x9FA5;
    if (!letter && !chinese) return false;
  }
  return true;
}

bool StringsTool::isCarPlateNumber(std::string_view text) {
  return found(R"re(^[一-龥]{1}[A-Z]{1}[A-Z_0-9]{5}$)re", text);
}

bool StringsTool::isEnginNumber(std::string_view text) {
  size_t n = platform::u16len(text);
  return n >= 1 && n <= 30 && found(R"re(^[A-Za-z0-9]+$)re", text);
}

bool StringsTool::isCheJiaNumber(std::string_view text) { return isEnginNumber(text); }

bool StringsTool::isZipCode(std::string_view text) { return found(R"re(^[1-9][0-9]{5}$)re", text); }

bool StringsTool::isLegalCardNumber(std::string_view text) {
  if (platform::u16len(text) <= 9) return false;
  std::u16string s = platform::toUtf16(removeAll(text, ' '));
  if (s.empty()) return false;
  int sum = 0;
  bool doubled = true;   // the digit before the check digit is doubled, then every second one
  for (size_t i = s.size() - 1; i-- > 0;) {
    if (!isAsciiDigit(s[i])) return false;
    int d = s[i] - u'0';
    if (doubled) {
      d *= 2;
      if (d >= 10) d -= 9;
    }
    sum += d;
    doubled = !doubled;
  }
  int check = (10 - sum % 10) % 10;
  int last = isAsciiDigit(s.back()) ? s.back() - u'0' : 0;
  return check == last;
}

bool StringsTool::string(std::string_view text, unsigned lengthBetween, unsigned to) {
  size_t n = platform::u16len(text);
  return lengthBetween <= n && n <= to;
}

// --- Field filters ----------------------------------------------------------------------------

StringsTool::FieldEdit StringsTool::isPhoneNumberField(std::string_view fieldText,
                                                       platform::Range16 range,
                                                       std::string_view replacementString,
                                                       bool disappearKeyboard) {
  FieldEdit edit;
  auto changed = platform::u16replace(fieldText, range, replacementString);
  if (!changed) return edit;   // a range outside the text changes nothing
  size_t n = platform::u16len(*changed);
  if (n > 11) return edit;
  if (!replacementString.empty() && !isNumber(replacementString)) return edit;
  if (fieldText.empty() && replacementString != "1") return edit;
  if (disappearKeyboard && n == 11) {
    edit.setText = *changed;
    edit.closeKeyboard = true;
    return edit;
  }
  edit.shouldChange = true;
  return edit;
}

bool StringsTool::isCardNumberField(std::string_view fieldText, platform::Range16 range,
                                    std::string_view replacementString) {
  auto changed = platform::u16replace(fieldText, range, replacementString);
  if (!changed) return false;
  return platform::u16len(*changed) <= 32 &&
         (replacementString.empty() || isNumber(replacementString));
}

bool StringsTool::isMoneyField(std::string_view fieldText, platform::Range16 range,
                               std::string_view replacementString) {
  auto changed = platform::u16replace(fieldText, range, replacementString);
  if (!changed) return false;
  const std::string& n = *changed;
  if (n.empty() || n == "0") return true;
  if (text::doubleValue(n) > 100000000.0) return false;
  if (isDecimal(n)) return true;
  return n.back() == '.' && numberPointsFromString(n) < 2;
}

StringsTool::FieldEdit StringsTool::verfictCardNumberField(std::string_view fieldText,
                                                           platform::Range16 range,
                                                           std::string_view replacementString,
                                                           unsigned cardNumberLength) {
  FieldEdit edit;
  size_t limit = size_t(cardNumberLength) + (cardNumberLength > 0 ? (cardNumberLength - 1) / 4 : 0);
  if (platform::u16len(fieldText) + platform::u16len(replacementString) > limit) return edit;
  std::string inserted = deleteStringOther(replacementString);
  if (!replacementString.empty() && !isNumber(inserted)) return edit;
  auto changed = platform::u16replace(fieldText, range, inserted);
  if (!changed) return edit;
  edit.setText = handleCardNumber(deleteStringOther(*changed));
  return edit;
}

StringsTool::FieldEdit StringsTool::verfictPhoneNumberField(std::string_view fieldText,
                                                            platform::Range16 range,
                                                            std::string_view replacementString,
                                                            unsigned phoneNumberLength,
                                                            bool cancelKeyboard) {
  FieldEdit edit;
  size_t limit = size_t(phoneNumberLength) + phoneNumberLength / 4;
  if (platform::u16len(fieldText) + platform::u16len(replacementString) > limit) return edit;
  std::string inserted = deleteStringOther(replacementString);
  if (!replacementString.empty() && !isNumber(inserted)) return edit;
  auto changed = platform::u16replace(fieldText, range, inserted);
  if (!changed) return edit;
  std::string digits = deleteStringOther(*changed);
  edit.setText = handlePhoneNumber(digits);
  edit.closeKeyboard = cancelKeyboard && platform::u16len(digits) == 11;
  return edit;
}

bool StringsTool::verfictMoneyField(std::string_view fieldText, std::string_view replacementString) {
  std::string n = std::string(fieldText) + std::string(replacementString);
  if (fieldText.empty() && replacementString == ".") return false;
  if (text::doubleValue(n) >= 1000000000.0) return false;
  if (!replacementString.empty() &&
      platform::u16len(fieldText) + platform::u16len(replacementString) > 12) {
    return false;
  }
  if (isNumber(fieldText) && replacementString == ".") return true;
  if (fieldText.empty() || replacementString.empty()) return true;
  return isDecimal(n);
}

// --- Begin and end of editing -----------------------------------------------------------------

std::string StringsTool::phoneNumberFieldBeginEditing(std::string_view fieldText) {
  return clearPhoneNumber(fieldText);
}

std::string StringsTool::phoneNumberFieldEndEditing(std::string_view fieldText) {
  return handlePhoneNumber(fieldText);
}

std::string StringsTool::cardNumberFieldBeginEditing(std::string_view fieldText) {
  return clearCardNumber(fieldText);
}

std::string StringsTool::cardNumberFieldEndEditing(std::string_view fieldText) {
  return handleCardNumber(fieldText);
}

std::string StringsTool::handleInputMoneysEndEditField(std::string_view fieldText) {
  if (fieldText.empty()) return std::string();
  return format2f(text::doubleValue(fieldText));
}

double StringsTool::handleCardNumberEndedEditField(
    std::string_view fieldText, double fontSize, double frameWidth,
    const std::function<double(std::string_view text, double fontSize)>& measureWidth) {
  // A text that cannot fit even at 1 point stops there instead of shrinking for ever.
  while (fontSize > 1.0 && measureWidth(fieldText, fontSize) > frameWidth) {
    fontSize = std::max(1.0, fontSize - 1.0);
  }
  return fontSize;
}

// --- Grouping and cleaning --------------------------------------------------------------------

std::string StringsTool::handleString(std::string_view text, std::string_view subString,
                                      bool isPhoneNum) {
  std::u16string s = platform::toUtf16(text);
  std::u16string sep = platform::toUtf16(subString);
  const size_t head = isPhoneNum ? 3 : 4;
  if (sep.empty()) return std::string(text);
  if (s.find(sep) == std::u16string::npos) {
    for (size_t j = 0; j < 10; ++j) {
      size_t at = 5 * j + head;
      if (s.size() > head && s.size() >= at) {
        s.insert(at, sep);
        if (s.size() - at - sep.size() <= 4) break;
      }
    }
  } else {
    for (size_t j = 0; j < 10; ++j) {
      size_t at = 4 * j + head;
      if (s.size() > at) {
        s.erase(at, 1);
        if (s.size() - at <= 4) break;
      }
    }
  }
  return platform::fromUtf16(s);
}

std::string StringsTool::handlePhoneNumber(std::string_view text, std::string_view subString) {
  return handleString(text, subString, true);
}

std::string StringsTool::handlePhoneNumber(std::string_view text) {
  return handlePhoneNumber(text, "-");
}

std::string StringsTool::handleCardNumber(std::string_view text, std::string_view subString) {
  return handleString(text, subString, false);
}

std::string StringsTool::handleCardNumber(std::string_view text) { return handleCardNumber(text, " "); }

std::string StringsTool::clearPhoneNumber(std::string_view text) { return removeAll(text, '-'); }

std::string StringsTool::clearCardNumber(std::string_view text) { return removeAll(text, ' '); }

std::string StringsTool::deleteStringOther(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c >= '0' && c <= '9') out += c;
  }
  return out;
}

int StringsTool::numberPointsFromString(std::string_view text) {
  int n = 0;
  for (char c : text) n += c == '.';
  return n;
}

std::optional<std::string> StringsTool::phoneStringFormater(std::string_view text) {
  if (platform::u16len(text) != 10) return std::nullopt;
  return platform::u16substr(text, 0, 3) + "-" + platform::u16substr(text, 3, 3) + "-" +
         platform::u16substr(text, 6);
}

std::string StringsTool::pickPhoneString(std::string_view text) {
  icu::UnicodeString t = u16(text);
  auto m = matcher(R"re([^\d\-])re", t);
  if (!m) return std::string();
  UErrorCode status = U_ZERO_ERROR;
  if (!m->find(status) || U_FAILURE(status)) return std::string(text);
  int32_t at = m->start(status);
  return U_SUCCESS(status) ? utf8(icu::UnicodeString(t, 0, at)) : std::string();
}

std::vector<std::string> StringsTool::pickLinkUrl(std::string_view text) {
  std::vector<std::string> links;
  icu::UnicodeString t = u16(text);
  auto m = matcher(R"re(http+:[^\s]*)re", t);
  if (!m) return links;
  UErrorCode status = U_ZERO_ERROR;
  while (m->find(status) && U_SUCCESS(status)) {
    links.push_back(utf8(m->group(status)));
  }
  return links;
}

std::string StringsTool::filterHtmlTag(std::string_view text) {
  icu::UnicodeString t = u16(text);
  auto m = matcher(R"re(<([^>]*)>)re", t);
  if (!m) return std::string(text);
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString out = m->replaceAll(icu::UnicodeString(), status);
  return U_SUCCESS(status) ? utf8(out) : std::string(text);
}

std::string StringsTool::upString(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return out;
}

std::string StringsTool::xNULL(const std::optional<std::string>& text) {
  return text ? *text : std::string(" ");
}

std::string StringsTool::deleteString(std::string_view text, size_t subLen) {
  if (platform::u16len(text) <= subLen) return std::string(text);
  return platform::u16substr(text, 0, subLen);
}

std::string StringsTool::encodeURL(std::string_view text) { return text::encodeURLString(text); }

std::string StringsTool::getPinYinForChineseCharactor(std::string_view text) {
  icu::UnicodeString out;
  for (char16_t unit : platform::toUtf16(text)) {
    auto initial = static_cast<unsigned char>(pinyinInitialOf(unit));
    if (initial == 0) continue;   // U+9FA6 and other units whose low byte is 0
    // Low bytes beyond ASCII stand for the Latin-1 character of that value.
    out.append(static_cast<UChar32>(u_toupper(initial)));
  }
  return utf8(out);
}

// --- Money, masks, dates and look-ups ---------------------------------------------------------

std::string StringsTool::moneyStringForNumber(double value) {
  return text::formatMoney(value) + platform::Strings::localized("CurrencyUnit");
}

double StringsTool::doubleValueFromMoneyString(const platform::Json& value) {
  if (value.is_string()) {
    return doubleValueFromMoneyString(std::string_view(value.get_ref<const std::string&>()));
  }
  if (value.is_number()) return value.get<double>();
  if (value.is_boolean()) return value.get<bool>() ? 1.0 : 0.0;   // a JSON true is the number 1
  return 0.0;
}

double StringsTool::doubleValueFromMoneyString(std::string_view text) {
  return text::doubleValue(removeAll(text, ','));
}

std::string StringsTool::rounding(float value, int afterPoint) {
  // Rounded as the decimal the float shows ("2.675" for 2.675f), not its binary expansion.
  char shortest[32];
  auto [end, ec] = std::to_chars(shortest, shortest + sizeof shortest, value);
  if (ec != std::errc()) return format2f(value);
  UErrorCode status = U_ZERO_ERROR;
  auto* symbols = new icu::DecimalFormatSymbols(icu::Locale("en_US"), status);
  icu::DecimalFormat format(icu::UnicodeString(u"0.##"), symbols, status);
  if (U_FAILURE(status)) return format2f(value);
  format.setRoundingMode(icu::DecimalFormat::kRoundHalfUp);   // half away from zero
  format.setGroupingUsed(false);
  format.setMinimumFractionDigits(0);
  format.setMaximumFractionDigits(std::max(afterPoint, 0));
  icu::UnicodeString out;
  format.format(icu::StringPiece(shortest, int32_t(end - shortest)), out, nullptr, status);
  if (U_FAILURE(status)) return format2f(value);
  std::string rounded = utf8(out);
  float result = std::strtof(rounded.c_str(), nullptr);
  return format2f(result);
}

std::string StringsTool::bankCardHalfDisplay(std::string_view text) {
  size_t n = platform::u16len(text);
  if (n < 13) return std::string(text);
  return platform::u16substr(text, 0, 6) + "******" + platform::u16substr(text, n - 4);
}

std::string StringsTool::hideDetailNum(const std::optional<std::string>& text) {
  if (!text) return std::string();
  size_t n = platform::u16len(*text);
  return "******" + (n <= 4 ? *text : platform::u16substr(*text, n - 4));
}

std::string StringsTool::hidedetailLoginName(const std::optional<std::string>& text) {
  if (!text) return std::string();
  size_t n = platform::u16len(*text);
  if (n < 6) return std::string();
  return platform::u16substr(*text, 0, 3) + "****" + platform::u16substr(*text, n - 3);
}

std::string StringsTool::getLastSubCardNo(const std::optional<std::string>& text) {
  if (!text) return std::string();
  std::string digits = removeAll(*text, ' ');
  size_t n = platform::u16len(digits);
  if (n < 4) return std::string();
  return platform::u16substr(digits, n - 4);
}

std::string StringsTool::fomattedCardNumber(std::string_view text) {
  if (!isCarPlateNumber(text)) return " · ";
  return platform::u16substr(text, 0, 2) + " · " + platform::u16substr(text, 2);
}

float StringsTool::getTextFont(const std::optional<std::string>& text) {
  if (!text) return 16.0f;
  size_t n = platform::u16len(*text);
  if (n <= 16) return 16.0f;
  return 16.0f - static_cast<float>(n / 4 - 1);
}

std::string StringsTool::getTradeHisStatus(std::string_view status) {
  if (status == "SUCCESS") return "成功";
  if (status == "FAILURE") return "失败";
  if (status == "ACCEPT") return "已接收";
  if (status == "PROCESSING") return "处理中";
  return " ";
}

std::optional<std::string> StringsTool::dateTransformation(std::string_view milliseconds,
                                                           bool displaySecond) {
  double ms = text::doubleValue(milliseconds);
  auto time = platform::WallTime(std::chrono::duration_cast<platform::Duration>(
      std::chrono::duration<double, std::milli>(ms)));
  return formatDate(time, displaySecond ? "yyyy年MM月dd日 HH:mm:ss" : "yyyy年MM月dd日 HH:mm");
}

std::optional<std::string> StringsTool::timeHHMMSS(std::string_view text) {
  return text::formatDateWithSrc(text, "HHmmss", "HH:mm:ss");
}

std::string StringsTool::getTime() {
  // "YY" (week-based year) and "hh" (12-hour clock) are what the servers have always received.
  return formatDate(platform::clock().wallNow(), "YYMMddhhmmss");
}

std::string StringsTool::getSeries() {
  auto& lock = platform::Process::current().shared<SeriesLock>();
  std::lock_guard<std::mutex> guard(lock.mutex);
  auto& defaults = platform::UserDefaults::standard();
  int64_t stored = defaults.integer(kSeriesKey);
  int64_t next = (stored >= kSeriesMax || stored < 0) ? 0 : stored + 1;
  defaults.set(kSeriesKey, next);
  // On disk before any request carries it: a crash must not hand out the same serial again.
  if (!defaults.synchronize()) platform::log::warning("StringsTool", "series not written to disk");
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06d", static_cast<int>(next));
  return buf;
}

std::string StringsTool::randomString() {
  std::string description =
      formatDate(platform::clock().wallNow(), "yyyy-MM-dd HH:mm:ss", "en_US_POSIX", "GMT") + " +0000";
  return md5Hex(description);
}

std::string StringsTool::getImageUrl(std::string_view url) { return std::string(url); }

std::string StringsTool::mallServerAddress() {
  return "http://" + mallHost() + "/websrv/mobileclient/";
}

std::string StringsTool::secondServerAddress() {
  return "http://" + mallHost() + "/websrv/mobileclient_2_0v/";
}

}  // namespace nvx
