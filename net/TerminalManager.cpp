#include "net/TerminalManager.h"

#include "app/core/User.h"
#include "net/CoreOperations.h"
#include "net/ParseTool.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "TerminalManager";

using platform::Json;
using platform::Strings;

}  // namespace

bool SecretKeyParser::parseSourceDic(const Json& sourceDic, std::string_view key) {
  if (!sourceDic.is_object() || sourceDic.empty()) return false;
  const Json* list = platform::json::member(sourceDic, key);
  if (!list || !list->is_array() || list->empty()) return false;
  const Json& first = list->front();
  if (!first.is_object() || first.empty()) return false;
  masterKey_ = first;
  allSecretKeys_ = *list;
  return true;
}

// The user object's setters and lists of one terminal kind.
struct TerminalManager::Slots {
  void (User::*setTPK)(const Json&);
  void (User::*setPIK)(const Json&);
  void (User::*setMAC)(const Json&);
  void (User::*setTPKs)(Json);
  void (User::*setPIKs)(Json);
  void (User::*setMACs)(Json);
  const std::optional<TerminalKey>& (User::*pik)() const;
  const std::optional<TerminalKey>& (User::*mac)() const;
};

bool TerminalManager::signTerminal(const Slots& slots, const ReqErrorExecutor& reqErrorExecutor) {
  if (!termLoginWithReqErrorExecutor(reqErrorExecutor)) return false;
  User& user = User::currentUser();
  // The TPK first: the PIK and the MAC key are deciphered under it.
  (user.*slots.setTPK)(tpksParser_.masterKey());
  (user.*slots.setTPKs)(tpksParser_.allSecretKeys());
  // A failed check-in leaves its parsers empty, so the setters below clear the keys; its error
  // stays for the caller.
  (void)termCheckinWithReqErrorExecutor(reqErrorExecutor);
  (user.*slots.setPIK)(piksParser_.masterKey());
  (user.*slots.setPIKs)(piksParser_.allSecretKeys());
  if (!(user.*slots.pik)()) {
    undecipherable(piksParser_);
    return false;
  }
  (user.*slots.setMAC)(macsParser_.masterKey());
  (user.*slots.setMACs)(macsParser_.allSecretKeys());
  if (!(user.*slots.mac)()) {
    undecipherable(macsParser_);
    return false;
  }
  return true;
}

void TerminalManager::undecipherable(const SecretKeyParser& parser) {
  // The server sent a key that could not be kept (no TPK to decipher it, or not a key at all):
  // the caller gets a message rather than an empty one.
  if (!parser.masterKey().is_null() && error_.empty()) error_ = Strings::localized("Error_Data");
}

std::optional<TerminalManager::StepReply> TerminalManager::runStep(bool checkin,
                                                                   const ReqErrorExecutor& reqErrorExecutor) {
  auto request = checkin ? CoreOperations::termCheckinWithTermid(termid_) : CoreOperations::termLoginWithTermid(termid_);
  if (request->error()) {
    platform::log::info(kTag, std::string(checkin ? "check-in" : "terminal login") + " failed: " +
                                  request->error()->message);
    error_ = Strings::localized("NetworkConnectionFailed");
    if (reqErrorExecutor) reqErrorExecutor();
    return std::nullopt;
  }
  StepReply reply;
  reply.result = ParseTool::retDataWithResponseData(request->responseData(), viewController(), &reply.slot);
  return reply;
}

bool TerminalManager::termLoginWithReqErrorExecutor(const ReqErrorExecutor& reqErrorExecutor) {
  tpksParser_ = SecretKeyParser();
  auto reply = runStep(false, reqErrorExecutor);
  if (!reply) return false;
  if (reply->result && tpksParser_.parseSourceDic(*reply->result, "TPKs")) return true;
  // A reply the server called a success but without a usable list is a data error, never
  // reported with the success text.
  error_ = reply->slot == Strings::localized("OK") ? Strings::localized("Error_Data") : reply->slot;
  return false;
}

bool TerminalManager::termCheckinWithReqErrorExecutor(const ReqErrorExecutor& reqErrorExecutor) {
  piksParser_ = SecretKeyParser();
  macsParser_ = SecretKeyParser();
  auto reply = runStep(true, reqErrorExecutor);
  if (!reply) return false;
  if (reply->result && piksParser_.parseSourceDic(*reply->result, "PIKs")) {
    if (macsParser_.parseSourceDic(*reply->result, "MACs")) return true;
    error_ = Strings::localized("Error_Data");
    return false;
  }
  if (reply->slot.empty()) {
    error_ = Strings::localized("Error_Unknown");
  } else if (reply->slot == Strings::localized("OK")) {
    error_ = Strings::localized("Error_Data");
  } else {
    error_ = reply->slot;
  }
  return false;
}

bool TerminalManager::hardwareTermSignWithViewController(
    const std::shared_ptr<platform::ui::ViewController>& viewController, const ReqErrorExecutor& reqErrorExecutor) {
  setViewController(viewController);
  setTermid(User::currentUser().psamId());
  const Slots slots{&User::setPsamTPK,       &User::setPsamPIK,       &User::setPsamMAC,
                    &User::setPsamTPKsArray, &User::setPsamPIKsArray, &User::setPsamMACsArray,
                    &User::psamPIK,          &User::psamMAC};
  return signTerminal(slots, reqErrorExecutor);
}

bool TerminalManager::virtualTermSignWithViewController(
    const std::shared_ptr<platform::ui::ViewController>& viewController, const ReqErrorExecutor& reqErrorExecutor) {
  setViewController(viewController);
  setTermid(User::currentUser().psamNo());
  const Slots slots{&User::setVpsamTPK,       &User::setVpsamPIK,       &User::setVpsamMAC,
                    &User::setVpsamTPKsArray, &User::setVpsamPIKsArray, &User::setVpsamMACsArray,
                    &User::vpsamPIK,          &User::vpsamMAC};
  return signTerminal(slots, reqErrorExecutor);
}

}  // namespace nvx
