// Terminal sign-in. Before the client may send a PIN or a MAC-protected request, the terminal
// that signs it must be signed in with the server: terminal login (business code "M10003")
// issues the terminal key list "TPKs", check-in ("M10002") the PIN key list "PIKs" and the MAC
// key list "MACs". The first entry of each list goes to the user object, which deciphers and
// keeps it: the TPK first (under the transport key), then the PIK and the MAC key under it.
//
// There are two terminals per user: the reader's (the user's psamId) and the virtual one bound
// to the account (psamNo). The plain calls are synchronous: they block the calling thread until
// each reply or its time-out. The asynchronous sign-in sends both requests on the HTTP client's
// thread and reads each reply on the main thread, so the main loop's timers and sockets keep
// running meanwhile. Replies are read with ParseTool either way, so a sign-in is driven from the
// main thread (an expired login may push the login screen or show the re-login alert).
//
// A TerminalManager serves one sign-in; the caller reads error() after a failed one.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"

namespace platform::ui {
class ViewController;
}

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

class TerminalManager : public std::enable_shared_from_this<TerminalManager> {
 public:
  // Performed only when a request fails in transport (the reader gate resets its status there).
  // May be empty.
  using ReqErrorExecutor = std::function<void()>;
  // The end of an asynchronous sign-in, on the main thread: whether the terminal is signed in.
  using SignCompletion = std::function<void(bool signedIn)>;

  TerminalManager() = default;
  TerminalManager(const TerminalManager&) = delete;
  TerminalManager& operator=(const TerminalManager&) = delete;
  // Cancels a sign-in still under way: its completion never runs.
  ~TerminalManager();

  // Signs the reader's terminal (the user's psamId) in: true when the user then holds the
  // reader's clear MAC key.
  bool hardwareTermSignWithViewController(const std::shared_ptr<platform::ui::ViewController>& viewController,
                                          const ReqErrorExecutor& reqErrorExecutor);
  // The same for the virtual terminal (the user's psamNo).
  bool virtualTermSignWithViewController(const std::shared_ptr<platform::ui::ViewController>& viewController,
                                         const ReqErrorExecutor& reqErrorExecutor);

  // The asynchronous reader sign-in: the same steps and outcome as
  // hardwareTermSignWithViewController, ending in completion (exactly once unless cancelled or
  // the manager is released first). Call on the main thread, on a manager owned by a shared_ptr;
  // the requests in flight hold no reference to it.
  void hardwareTermSignAsync(const std::shared_ptr<platform::ui::ViewController>& viewController,
                             ReqErrorExecutor reqErrorExecutor, SignCompletion completion);
  // Stops an asynchronous sign-in: the request in flight is cancelled and the completion dropped.
  // Keys already kept from the terminal login stay.
  void cancel();
  bool isSigning() const { return static_cast<bool>(inFlight_); }

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
  // Reads a finished login or check-in reply. Nothing on a transport failure: error_ is then
  // set and the executor performed.
  std::optional<StepReply> readStep(bool checkin, const platform::net::HttpRequest& request,
                                    const ReqErrorExecutor& reqErrorExecutor);
  // What the login and check-in replies leave in the parsers, and whether they hold the lists.
  bool readLoginReply(const platform::net::HttpRequest& request, const ReqErrorExecutor& reqErrorExecutor);
  bool readCheckinReply(const platform::net::HttpRequest& request, const ReqErrorExecutor& reqErrorExecutor);
  // Login, the TPK into the user object, check-in, then the PIK and the MAC key, for one
  // terminal kind's setters.
  struct Slots;
  static const Slots& hardwareSlots();
  static const Slots& virtualSlots();
  bool signTerminal(const Slots& slots, const ReqErrorExecutor& reqErrorExecutor);
  void keepTpk(const Slots& slots);
  // The PIK and the MAC key into the user object; whether both could be kept.
  bool keepPikAndMac(const Slots& slots);
  void undecipherable(const SecretKeyParser& parser);
  // Sends request on the asynchronous path; then runs on the main thread with the finished
  // request, unless the manager was released or the sign-in cancelled meanwhile.
  void sendThen(std::shared_ptr<platform::net::HttpRequest> request,
                std::function<void(TerminalManager&, const platform::net::HttpRequest&)> then);
  void finishAsync(bool signedIn);

  std::string termid_;
  std::weak_ptr<platform::ui::ViewController> viewController_;
  SecretKeyParser tpksParser_;
  SecretKeyParser piksParser_;
  SecretKeyParser macsParser_;
  std::string error_;
  // The asynchronous sign-in's request in flight and its completion.
  std::shared_ptr<platform::net::HttpRequest> inFlight_;
  SignCompletion signCompletion_;
};

}  // namespace nvx
