#include "net/MacRule.h"

#include <gtest/gtest.h>

#include "core/crypto/EncryptTool.h"

namespace nvx {
namespace {

using platform::net::PostField;
using Fields = std::vector<PostField>;
using Verdict = MacOutcome::Verdict;

constexpr std::string_view kKsn = "0123456789ABCDEF";
constexpr std::string_view kVirtualTerm = "VT00000000000042";
constexpr std::string_view kReaderMAC = "5555666677778888EEEEFFFF00001111";
constexpr std::string_view kWalletMAC = "0F1E2D3C4B5A69788796A5B4C3D2E1F0";

std::string macOf(std::string_view input, std::string_view key) {
  return EncryptTool::generateMac(input, key).substr(0, 8);
}

MacKeys keys(bool reader, bool wallet) {
  MacKeys k;
  k.virtualTerminalId = std::string(kVirtualTerm);
  if (wallet) k.virtualMac = SecretText(kWalletMAC);
  if (reader) k.readerMac = TerminalKey{std::string(kKsn), SecretText(kReaderMAC)};
  return k;
}

TEST(MacRuleTest, TheRuleAsATable) {
  const std::string base = "https://h/iphone/";
  struct Case {
    const char* name;
    std::string method;
    Fields fields;
    MacKeys keys;
    Verdict verdict;
    std::string macInput;
    std::string terminal;
    Fields rewritesBeforeMac;  // "mac" follows when signed
    bool removesWallet;
  } cases[] = {
      {"reader commit: amounts in fen, fee signed",
       "commitTransaction",
       {{"fee", "0.5"}, {"amount", "12.5"}, {"pan", "6222 0200"}, {"termid", std::string(kKsn)}, {"busid", "M20011"},
        {"other", "x"}},
       keys(true, true),
       Verdict::Signed,
       "M20011 0123456789ABCDEF 6222 0200 000000001250 000000000050",
       std::string(kKsn),
       {{"amount", "000000001250"}, {"fee", "000000000050"}},
       false},
      {"reader query: no fee in the MAC, famount rewritten",
       "queryTrans",
       {{"busid", "M1"}, {"famount", "3"}, {"fee", "1"}},
       keys(true, false),
       Verdict::Signed,
       "M1",
       std::string(kKsn),
       {{"famount", "000000000300"}, {"fee", "000000000100"}},
       false},
      {"wallet: virtual terminal and key, marker removed",
       "queryTrans",
       {{"termid", "READER"}, {"busid", "M10020"}, {"wallet", "100"}, {"famount", "3"}, {"amount", "2.00"}},
       keys(true, true),
       Verdict::Signed,
       "M10020 VT00000000000042 000000000200",
       std::string(kVirtualTerm),
       {{"termid", std::string(kVirtualTerm)}, {"famount", "000000000300"}, {"amount", "000000000200"}},
       true},
      {"wallet to an unprotected action: terminal only, marker kept",
       "getUnitListNew",
       {{"busid", "M1"}, {"wallet", "100"}},
       keys(true, true),
       Verdict::Unsigned,
       "",
       "",
       {{"termid", std::string(kVirtualTerm)}},
       false},
      {"unprotected action with MAC fields", "login", {{"busid", "M10003"}, {"termid", "T"}}, keys(true, true),
       Verdict::Unsigned, "", "", {}, false},
      {"protected action without MAC fields", "commitTransaction", {{"x", "1"}}, keys(true, true), Verdict::Unsigned,
       "", "", {}, false},
      {"updateKTWItem other than payType 1", "updateKTWItem", {{"busid", "M1"}, {"payType", "0"}}, keys(true, true),
       Verdict::Unsigned, "", "", {}, false},
      {"updateKTWItem payType 1", "updateKTWItem", {{"busid", "M1"}, {"payType", "1"}}, keys(true, true),
       Verdict::Signed, "M1", std::string(kKsn), {}, false},
      {"public transport signs subbusid first",
       "commitTransaction",
       {{"busid", "M80003"}, {"subbusid", "SUB01"}, {"pan", "P"}},
       keys(true, false),
       Verdict::Signed,
       "SUB01 P",
       std::string(kKsn),
       {},
       false},
      {"no reader key: refused", "commitTransaction", {{"busid", "M1"}, {"amount", "1"}}, keys(false, true),
       Verdict::Refused, "M1 000000000100", "", {{"amount", "000000000100"}}, false},
      {"wallet before the virtual sign-in: the reader key never stands in",
       "queryTrans",
       {{"busid", "M10020"}, {"wallet", "100"}},
       keys(true, false),
       Verdict::Refused,
       "M10020 VT00000000000042",
       std::string(kVirtualTerm),
       {{"termid", std::string(kVirtualTerm)}},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MacOutcome out = MacRule::evaluate(base + c.method + ".json", c.fields, c.keys);
    EXPECT_EQ(static_cast<int>(out.verdict), static_cast<int>(c.verdict));
    EXPECT_EQ(out.macInput, c.macInput);
    EXPECT_EQ(out.terminalId, c.terminal);
    Fields expected = c.rewritesBeforeMac;
    if (c.verdict == Verdict::Signed) {
      const std::string key(c.terminal == kVirtualTerm ? kWalletMAC : kReaderMAC);
      expected.push_back({"mac", macOf(c.macInput, key)});
    }
    EXPECT_EQ(out.rewrites, expected);
    EXPECT_EQ(out.removeWalletMarker, c.removesWallet);
  }
}

TEST(MacRuleTest, ApplyingTheOutcomeIsOneStepWithTheRequestsFieldOrder) {
  auto request = platform::net::HttpRequest::make("https://h/iphone/queryTrans.json", true);
  for (const auto& [k, v] : Fields{{"termid", "READER"}, {"busid", "M10020"}, {"wallet", "100"}, {"famount", "3"},
                                   {"amount", "2.00"}}) {
    request->addPostValue(k, v);
  }
  MacOutcome out = MacRule::evaluate(request->url(), request->postFields(), keys(false, true));
  EXPECT_TRUE(MacRule::apply(out, *request));
  const Fields expected = {{"busid", "M10020"},
                           {"termid", std::string(kVirtualTerm)},
                           {"famount", "000000000300"},
                           {"amount", "000000000200"},
                           {"mac", macOf("M10020 VT00000000000042 000000000200", kWalletMAC)}};
  EXPECT_EQ(request->postFields(), expected);

  auto refused = platform::net::HttpRequest::make("https://h/iphone/commitTransaction.json", true);
  refused->addPostValue("busid", "M1");
  EXPECT_FALSE(MacRule::apply(MacRule::evaluate(refused->url(), refused->postFields(), keys(false, false)), *refused));
}

}  // namespace
}  // namespace nvx
