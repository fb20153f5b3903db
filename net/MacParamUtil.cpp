#include "net/MacParamUtil.h"

#include <algorithm>
#include <array>
#include <span>

namespace nvx {

namespace {

constexpr std::array<std::string_view, 8> kMacActions = {
    "queryTrans",  "commitTransaction", "queryRemitTrans", "commitRemitTransaction",
    "updateKTWItem", "activeEWallet",   "payPwdSwitch",    "resetPayPwd",
};

constexpr std::array<std::string_view, 2> kFeeActions = {"commitTransaction", "commitRemitTransaction"};

bool containsAny(const std::optional<std::string_view>& address, std::span<const std::string_view> names) {
  if (!address) return true;
  return std::any_of(names.begin(), names.end(),
                     [&](std::string_view name) { return address->find(name) != std::string_view::npos; });
}

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool isAsciiAlnum(char c) { return isAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Length of the white space or line break (ASCII or a Unicode space separator) at the start of
// text; 0 when there is none.
size_t leadingSpace(std::string_view text) {
  if (text.empty()) return 0;
  const auto c = static_cast<unsigned char>(text[0]);
  if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
  static constexpr std::array<std::string_view, 19> kWide = {
      "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
      "\u2007", "\u2008", "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000",
  };
  for (auto w : kWide) {
    if (text.starts_with(w)) return w.size();
  }
  return 0;
}

size_t trailingSpace(std::string_view text) {
  if (text.empty()) return 0;
  const auto c = static_cast<unsigned char>(text.back());
  if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
  for (size_t n = 2; n <= 3 && n <= text.size(); ++n) {
    std::string_view tail = text.substr(text.size() - n);
    if (leadingSpace(tail) == n) return n;
  }
  return 0;
}

// Adds one to a text of decimal digits.
void incrementDigits(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

}  // namespace

const std::vector<std::string_view>& MacParamUtil::macFieldNames() {
  static const std::vector<std::string_view> kNames = {"busid", "termid", "tdtm",   "series", "rnd",   "pan",
                                                       "inpan", "billno", "amount", "retcode", "sysref"};
  return kNames;
}

bool MacParamUtil::isNeedMac(const std::optional<std::string_view>& address) {
  return containsAny(address, kMacActions);
}

bool MacParamUtil::isNeedFee(const std::optional<std::string_view>& address) {
  return containsAny(address, kFeeActions);
}

bool MacParamUtil::isExistUpdateKTWItem(const std::optional<std::string_view>& address) {
  static constexpr std::array<std::string_view, 1> kName = {"updateKTWItem"};
  return containsAny(address, kName);
}

bool MacParamUtil::isUpdateKTWItemNeedMac(const List& list) {
  return std::any_of(list.begin(), list.end(), [](const auto& f) { return f.key == "payType" && f.value == "1"; });
}

bool MacParamUtil::isExistThePostKey(const List& list) {
  const auto& names = macFieldNames();
  return std::any_of(list.begin(), list.end(), [&](const auto& f) {
    return f.key == "fee" || std::find(names.begin(), names.end(), f.key) != names.end();
  });
}

bool MacParamUtil::isFromWallet(const List& list) {
  return std::any_of(list.begin(), list.end(), [](const auto& f) { return f.key == "wallet" && f.value == "100"; });
}

bool MacParamUtil::isGongJiao(const List& list) {
  return std::any_of(list.begin(), list.end(),
                     [](const auto& f) { return f.value == "M80003" || f.value == "M80004"; });
}

bool MacParamUtil::isExistForKey(std::string_view name, const List& list) {
  return std::any_of(list.begin(), list.end(), [&](const auto& f) { return f.key == name; });
}

std::string MacParamUtil::valueForKey(std::string_view name, const List& list) {
  for (const auto& f : list) {
    if (f.key == name) return f.value;
  }
  return "";
}

bool MacParamUtil::isExistAmount(const List& list) { return isExistForKey("amount", list); }
std::string MacParamUtil::getAmount(const List& list) { return valueForKey("amount", list); }
bool MacParamUtil::isExistFee(const List& list) { return isExistForKey("fee", list); }
std::string MacParamUtil::getFee(const List& list) { return valueForKey("fee", list); }

std::vector<std::string> MacParamUtil::getExistPOSTkey(const List& list, bool withFee, bool publicBusid) {
  std::vector<std::string_view> names = macFieldNames();
  if (publicBusid) names.front() = "subbusid";
  if (withFee) names.push_back("fee");
  std::vector<std::string> values;
  for (std::string_view name : names) {
    const bool isAmount = name == "amount" || name == "fee";
    for (const auto& f : list) {
      if (f.key != name) continue;
      values.push_back(isAmount ? appendZero(f.value) : checkString(f.value));
    }
  }
  return values;
}

bool MacParamUtil::isMonenyNumber(std::string_view text) {
  if (text.empty()) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return isAsciiDigit(c) || c == '.'; });
}

std::string MacParamUtil::appendZero(std::string_view text) {
  if (!isMonenyNumber(text)) return "";
  // The leading number: digits, then at most one "." and its digits.
  const size_t dot = text.find('.');
  std::string_view whole = text.substr(0, dot);
  std::string_view fraction;
  if (dot != std::string_view::npos) {
    fraction = text.substr(dot + 1);
    fraction = fraction.substr(0, fraction.find('.'));
  }
  // Fen = whole digits followed by the first two fraction digits.
  std::string fen(whole);
  for (size_t i = 0; i < 2; ++i) fen.push_back(i < fraction.size() ? fraction[i] : '0');
  // Round on what is left of the fraction.
  std::string_view rest = fraction.size() > 2 ? fraction.substr(2) : std::string_view();
  if (!rest.empty()) {
    const char first = rest.front();
    const bool moreAfter = rest.find_first_not_of('0', 1) != std::string_view::npos;
    const bool oddFen = ((fen.back() - '0') % 2) == 1;
    if (first > '5' || (first == '5' && (moreAfter || oddFen))) incrementDigits(fen);
  }
  const size_t firstNonZero = fen.find_first_not_of('0');
  fen = firstNonZero == std::string::npos ? "0" : fen.substr(firstNonZero);
  if (fen.size() < 12) fen.insert(0, 12 - fen.size(), '0');
  return fen;
}

std::string MacParamUtil::checkString(std::string_view text) {
  for (size_t n; (n = leadingSpace(text)) > 0;) text.remove_prefix(n);
  for (size_t n; (n = trailingSpace(text)) > 0;) text.remove_suffix(n);
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (isAsciiAlnum(c) || c == '.' || c == ' ' || c == ',') out.push_back(c);
  }
  return out;
}

std::string MacParamUtil::getMACresult(const std::vector<std::string>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out.push_back(' ');
    out += checkString(values[i]);
  }
  return out;
}

}  // namespace nvx
