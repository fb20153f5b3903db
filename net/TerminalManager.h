// Terminal sign-in. Before the client may send a PIN or a MAC-protected request, the terminal
// that signs it must be signed in with the server: terminal login (business code "M10003")
// issues the terminal key list "TPKs", check-in ("M10002") the PIN key list "PIKs" and the MAC
// key list "MACs". The first entry of each list goes to the user object, which deciphers and
// keeps it: the TPK first (under the transport key), then the PIK and the MAC key under it.
//
// There are two terminals per user: the reader's (the user's psamId) and the virtual one bound
// to the account (psamNo). Both calls are synchronous: they block the calling thread until each
// reply or its time-out. The reply is read with ParseTool, so a sign-in runs on the main thread
// (an expired login may push the login screen or show the re-login alert).
//
// A TerminalManager serves one sign-in; the caller reads error() after a failed one.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"
#include "platform/ui/ViewController.h"

namespace nvx {

// One key list of a sign-in reply: a list of one-entry objects {terminal id: enciphered key}.
class SecretKeyParser {
 public:
  // false when sourceDic is not a non-empty object, its value under key is not a non-empty list,
  // or the list's first element is not a non-empty object; otherwise masterKey = that element,
  // allSecretKeys = the list.
  bool parseSourceDic(const platform::Json& sourceDic, std::string_view key);

  // The whole list (null until a list was parsed).
  const platform::Json& allSecretKeys() const { return allSecretKeys_; }
  // Its first entry (null until a list was parsed).
  const platform::Json& masterKey() const { return masterKey_; }

 private:
  platform::Json allSecretKeys_;
  platform::Json masterKey_;
};

class TerminalManager {
 public:
  // Performed only when a request fails in transport (the reader gate resets its status there).
  // May be empty.
  using ReqErrorExecutor = std::function<void()>;

  TerminalManager() = default;
  TerminalManager(const TerminalManager&) = delete;
  TerminalManager& operator=(const TerminalManager&) = delete;

  // Signs the reader's terminal (the user's psamId) in: true when the user then holds the
  // reader's clear MAC key.
  bool hardwareTermSignWithViewController(const std::shared_ptr<platform::ui::ViewController>& viewController,
                                          const ReqErrorExecutor& reqErrorExecutor);
  // The same for the virtual terminal (the user's psamNo).
  bool virtualTermSignWithViewController(const std::shared_ptr<platform::ui::ViewController>& viewController,
                                         const ReqErrorExecutor& reqErrorExecutor);

  // The two steps, for termid: terminal login ("TPKs") and check-in ("PIKs" and "MACs").
  bool termLoginWithReqErrorExecutor(const ReqErrorExecutor& reqErrorExecutor);
  bool termCheckinWithReqErrorExecutor(const ReqErrorExecutor& reqErrorExecutor);

  const std::string& termid() const { return termid_; }
  void setTermid(std::string termid) { termid_ = std::move(termid); }
  // The screen on whose navigation stack the reply reader may act; not owned.
  std::shared_ptr<platform::ui::ViewController> viewController() const { return viewController_.lock(); }
  void setViewController(const std::shared_ptr<platform::ui::ViewController>& screen) { viewController_ = screen; }
  // The message of the last failed step, for the caller to show ("" when the expired-login
  // handling took the reply over).
  const std::string& error() const { return error_; }

  const SecretKeyParser& tpksParser() const { return tpksParser_; }
  const SecretKeyParser& piksParser() const { return piksParser_; }
  const SecretKeyParser& macsParser() const { return macsParser_; }

 private:
  // What the reply reader made of one step's reply: its result (nothing for a failure) and the
  // text it left in its error slot.
  struct StepReply {
    std::optional<platform::Json> result;
    std::string slot;
  };
  // Sends the login or the check-in for termid_ and reads the reply. Nothing on a transport
  // failure: error_ is then set and the executor performed.
  std::optional<StepReply> runStep(bool checkin, const ReqErrorExecutor& reqErrorExecutor);
  // Login, the TPK into the user object, check-in, then the PIK and the MAC key, for one
  // terminal kind's setters.
  struct Slots;
  bool signTerminal(const Slots& slots, const ReqErrorExecutor& reqErrorExecutor);
  void undecipherable(const SecretKeyParser& parser);

  std::string termid_;
  std::weak_ptr<platform::ui::ViewController> viewController_;
  SecretKeyParser tpksParser_;
  SecretKeyParser piksParser_;
  SecretKeyParser macsParser_;
  std::string error_;
};

}  // namespace nvx
