#include "net/TerminalManager.h"

#include "core/session/User.h"
#include "net/CoreOperations.h"
#include "net/ParseTool.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
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

const TerminalManager::Slots& TerminalManager::hardwareSlots() {
  static constexpr Slots slots{&User::setPsamTPK,       &User::setPsamPIK,       &User::setPsamMAC,
                               &User::setPsamTPKsArray, &User::setPsamPIKsArray, &User::setPsamMACsArray,
                               &User::psamPIK,          &User::psamMAC};
  return slots;
}

const TerminalManager::Slots& TerminalManager::virtualSlots() {
  static constexpr Slots slots{&User::setVpsamTPK,       &User::setVpsamPIK,       &User::setVpsamMAC,
                               &User::setVpsamTPKsArray, &User::setVpsamPIKsArray, &User::setVpsamMACsArray,
                               &User::vpsamPIK,          &User::vpsamMAC};
  return slots;
}

TerminalManager::~TerminalManager() { cancel(); }

bool TerminalManager::signTerminal(const Slots& slots, const ReqErrorExecutor& reqErrorExecutor) {
  if (!termLoginWithReqErrorExecutor(reqErrorExecutor)) return false;
  keepTpk(slots);
  // A failed check-in leaves its parsers empty, so keepPikAndMac clears the keys; its error
  // stays for the caller.
  (void)termCheckinWithReqErrorExecutor(reqErrorExecutor);
  return keepPikAndMac(slots);
}

void TerminalManager::keepTpk(const Slots& slots) {
  User& user = User::currentUser();
  // The TPK first: the PIK and the MAC key are deciphered under it.
  (user.*slots.setTPK)(tpksParser_.masterKey());
  (user.*slots.setTPKs)(tpksParser_.allSecretKeys());
}

bool TerminalManager::keepPikAndMac(const Slots& slots) {
  User& user = User::currentUser();
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

std::optional<TerminalManager::StepReply> TerminalManager::readStep(bool checkin,
                                                                    const platform::net::HttpRequest& request,
                                                                    const ReqErrorExecutor& reqErrorExecutor) {
  if (request.error()) {
    platform::log::info(kTag, std::string(checkin ? "check-in" : "terminal login") + " failed: " +
                                  request.error()->message);
    error_ = Strings::localized("NetworkConnectionFailed");
    if (reqErrorExecutor) reqErrorExecutor();
    return std::nullopt;
  }
  StepReply reply;
  reply.result = ParseTool::retDataWithResponseData(request.responseData(), viewController(), &reply.slot);
  return reply;
}

bool TerminalManager::readLoginReply(const platform::net::HttpRequest& request,
                                     const ReqErrorExecutor& reqErrorExecutor) {
  tpksParser_ = SecretKeyParser();
  auto reply = readStep(false, request, reqErrorExecutor);
  if (!reply) return false;
  if (reply->result && tpksParser_.parseSourceDic(*reply->result, "TPKs")) return true;
  // A reply the server called a success but without a usable list is a data error, never
  // reported with the success text.
  error_ = reply->slot == Strings::localized("OK") ? Strings::localized("Error_Data") : reply->slot;
  return false;
}

bool TerminalManager::readCheckinReply(const platform::net::HttpRequest& request,
                                       const ReqErrorExecutor& reqErrorExecutor) {
  piksParser_ = SecretKeyParser();
  macsParser_ = SecretKeyParser();
  auto reply = readStep(true, request, reqErrorExecutor);
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

bool TerminalManager::termLoginWithReqErrorExecutor(const ReqErrorExecutor& reqErrorExecutor) {
  return readLoginReply(*CoreOperations::termLoginWithTermid(termid_), reqErrorExecutor);
}

bool TerminalManager::termCheckinWithReqErrorExecutor(const ReqErrorExecutor& reqErrorExecutor) {
  return readCheckinReply(*CoreOperations::termCheckinWithTermid(termid_), reqErrorExecutor);
}

bool TerminalManager::hardwareTermSignWithViewController(
    const std::shared_ptr<platform::ui::ViewController>& viewController, const ReqErrorExecutor& reqErrorExecutor) {
  setViewController(viewController);
  setTermid(User::currentUser().psamId());
  return signTerminal(hardwareSlots(), reqErrorExecutor);
}

bool TerminalManager::virtualTermSignWithViewController(
    const std::shared_ptr<platform::ui::ViewController>& viewController, const ReqErrorExecutor& reqErrorExecutor) {
  setViewController(viewController);
  setTermid(User::currentUser().psamNo());
  return signTerminal(virtualSlots(), reqErrorExecutor);
}

// --- the asynchronous sign-in ----------------------------------------------------------------------

void TerminalManager::hardwareTermSignAsync(const std::shared_ptr<platform::ui::ViewController>& viewController,
                                            ReqErrorExecutor reqErrorExecutor, SignCompletion completion) {
  cancel();
  setViewController(viewController);
  setTermid(User::currentUser().psamId());
  error_.clear();
  if (weak_from_this().expired()) {
    // Without shared ownership no reply could find its way back: say no, later, as a reply would.
    platform::log::error(kTag, "asynchronous sign-in on a manager that is not shared");
    error_ = Strings::localized("Error_Unknown");
    if (completion) platform::dispatchMain([completion = std::move(completion)] { completion(false); });
    return;
  }
  signCompletion_ = std::move(completion);
  // Each reply is read on the main thread between the requests, as the synchronous sign-in reads
  // it: the TPK is kept before the check-in is even made.
  sendThen(CoreOperations::termLoginRequest(termid_),
           [executor = std::move(reqErrorExecutor)](TerminalManager& self, const platform::net::HttpRequest& login) {
             if (!self.readLoginReply(login, executor)) {
               self.finishAsync(false);
               return;
             }
             self.keepTpk(hardwareSlots());
             self.sendThen(CoreOperations::termCheckinRequest(self.termid_),
                           [executor](TerminalManager& self, const platform::net::HttpRequest& checkin) {
                             (void)self.readCheckinReply(checkin, executor);
                             self.finishAsync(self.keepPikAndMac(hardwareSlots()));
                           });
           });
}

void TerminalManager::sendThen(std::shared_ptr<platform::net::HttpRequest> request,
                               std::function<void(TerminalManager&, const platform::net::HttpRequest&)> then) {
  std::weak_ptr<TerminalManager> weak = weak_from_this();
  inFlight_ = request;
  auto done = [weak, then = std::move(then)](platform::net::HttpRequest& reply) {
    auto self = weak.lock();
    if (!self || self->inFlight_.get() != &reply) return;
    // Kept alive until the step is over: the reply reader may push a screen that releases the
    // caller, and with it this manager.
    self->inFlight_.reset();
    then(*self, reply);
  };
  request->startAsynchronous(done, done);
}

void TerminalManager::finishAsync(bool signedIn) {
  auto completion = std::move(signCompletion_);
  signCompletion_ = nullptr;
  if (completion) completion(signedIn);
}

void TerminalManager::cancel() {
  signCompletion_ = nullptr;
  if (auto request = std::move(inFlight_)) request->cancel();
}

}  // namespace nvx
