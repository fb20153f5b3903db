// The rules of the message authentication code of protected transaction requests: which actions
// need one, the fields it covers and in which order, the amount format and the character filter.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/net/HttpRequest.h"

namespace nvx {

class MacParamUtil {
 public:
  using List = std::vector<platform::net::PostField>;

  // Whether the address names one of the protected actions (anywhere in it); an absent address
  // counts as yes (as for the two below).
  static bool isNeedMac(const std::optional<std::string_view>& address);
  // "commitTransaction" or "commitRemitTransaction": "fee" joins the MAC fields.
  static bool isNeedFee(const std::optional<std::string_view>& address);
  static bool isExistUpdateKTWItem(const std::optional<std::string_view>& address);
  // "payType" = "1".
  static bool isUpdateKTWItemNeedMac(const List& list);
  // Any field named like one of the twelve MAC fields.
  static bool isExistThePostKey(const List& list);
  // "wallet" = "100".
  static bool isFromWallet(const List& list);
  // Any value "M80003" or "M80004" (the public-transport card businesses).
  static bool isGongJiao(const List& list);
  static bool isExistForKey(std::string_view name, const List& list);
  // The first such field's value, or "".
  static std::string valueForKey(std::string_view name, const List& list);
  static bool isExistAmount(const List& list);
  static std::string getAmount(const List& list);
  static bool isExistFee(const List& list);
  static std::string getFee(const List& list);
  // The MAC values in field order ("subbusid" first in place of "busid" for public transport):
  // amounts through appendZero, the rest through checkString; absent fields give nothing, a
  // field present twice gives both values.
  static std::vector<std::string> getExistPOSTkey(const List& list, bool withFee, bool publicBusid);
  // Non-empty and only the ASCII digits and ".".
  static bool isMonenyNumber(std::string_view text);
  // Yuan text -> fen, no decimals, left-padded with "0" to 12 characters (longer is kept); "" for
  // a text that is not isMonenyNumber. The value is the text's leading decimal number ("1.2.3"
  // reads 1.2, "." reads 0), computed in decimal: fractions of a fen round to the nearest fen,
  // an exact half to the even one, as "%.0f" rounds.
  static std::string appendZero(std::string_view text);
  // Trimmed of white space, keeping only ASCII digits and letters, ".", " " and ",".
  static std::string checkString(std::string_view text);
  // Each value through checkString, joined with one space.
  static std::string getMACresult(const std::vector<std::string>& values);

  // The MAC field names in order (without "fee" and without the public-transport swap).
  static const std::vector<std::string_view>& macFieldNames();
};

}  // namespace nvx
