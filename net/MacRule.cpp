#include "net/MacRule.h"

#include "core/crypto/EncryptTool.h"
#include "net/MacParamUtil.h"
#include "net/RequestSession.h"

namespace nvx {

namespace {

using platform::net::PostField;
using Fields = std::vector<PostField>;

// The request's setPostValue on a copy of its fields: every entry of the name goes, the new one
// is appended.
void setField(Fields& fields, std::string_view key, std::string value) {
  std::erase_if(fields, [&](const PostField& f) { return f.key == key; });
  fields.push_back({std::string(key), std::move(value)});
}

}  // namespace

MacKeys MacKeys::of(const RequestSession& session) {
  MacKeys keys;
  keys.virtualTerminalId = session.psamNo;
  keys.virtualMac = session.virtualMac;
  keys.readerMac = session.readerMac;
  return keys;
}

MacOutcome MacRule::evaluate(std::string_view address, const Fields& given, const MacKeys& keys) {
  MacOutcome out;
  Fields fields = given;
  auto rewrite = [&](std::string_view key, std::string value) {
    setField(fields, key, value);
    out.rewrites.push_back({std::string(key), std::move(value)});
  };

  const bool wallet = MacParamUtil::isFromWallet(fields);
  if (wallet) rewrite("termid", keys.virtualTerminalId);

  if (!MacParamUtil::isExistThePostKey(fields) || !MacParamUtil::isNeedMac(address)) return out;
  if (MacParamUtil::isExistUpdateKTWItem(address) && !MacParamUtil::isUpdateKTWItemNeedMac(fields)) return out;

  const bool withFee = MacParamUtil::isNeedFee(address);
  const bool publicBusid = MacParamUtil::isGongJiao(fields);
  const std::vector<std::string> values = MacParamUtil::getExistPOSTkey(fields, withFee, publicBusid);

  if (MacParamUtil::isExistForKey("famount", fields)) {
    rewrite("famount", MacParamUtil::appendZero(MacParamUtil::valueForKey("famount", fields)));
  }
  if (MacParamUtil::isExistAmount(fields)) rewrite("amount", MacParamUtil::appendZero(MacParamUtil::getAmount(fields)));
  if (MacParamUtil::isExistFee(fields)) rewrite("fee", MacParamUtil::appendZero(MacParamUtil::getFee(fields)));

  out.macInput = MacParamUtil::getMACresult(values);
  std::string_view key;
  if (wallet) {
    key = keys.virtualMac.view();
    out.terminalId = keys.virtualTerminalId;
  } else if (keys.readerMac) {
    key = keys.readerMac->key.view();
    out.terminalId = keys.readerMac->terminalId;
  }
  std::string mac = key.empty() ? std::string() : EncryptTool::generateMac(out.macInput, key);
  // A MAC that is empty or short (no key for the terminal, or nothing the routine can sign) would
  // be refused by the server at best; the request is not sent instead.
  if (mac.size() < 8) {
    out.verdict = MacOutcome::Verdict::Refused;
    return out;
  }
  rewrite("mac", mac.substr(0, 8));
  out.removeWalletMarker = wallet;
  out.verdict = MacOutcome::Verdict::Signed;
  return out;
}

bool MacRule::apply(const MacOutcome& outcome, platform::net::HttpRequest& request) {
  for (const auto& f : outcome.rewrites) request.setPostValue(f.key, f.value);
  if (outcome.removeWalletMarker) request.removeFirstPostValue("wallet");
  return outcome.verdict != MacOutcome::Verdict::Refused;
}

}  // namespace nvx
