// The session values a request needs, copied on the main thread when the request is built, so
// that neither the request hook nor a worker ever reads User (main-thread state) while a
// request starts.
#pragma once
#include <optional>
#include <string>

#include "core/session/User.h"

namespace nvx {

struct RequestSession {
  std::string mainApiBase;  // the main API's base address (ends with "/")
  std::string uid;          // the run's identity
  std::string vercode;
  std::string userToken;
  std::string loginName;
  std::string psamId;       // the reader's terminal id
  std::string psamNo;       // the virtual terminal id of the wallet
  std::string custlev;
  // The reader's clear MAC key when it is the key of psamId; the virtual terminal's clear MAC
  // key ("" before the virtual sign-in). Wiped when the session copy goes.
  std::optional<TerminalKey> readerMac;
  SecretText virtualMac;

  // The values now. Main thread only (debug builds abort elsewhere). Each capture also becomes
  // the latest one.
  static RequestSession capture();
  // The latest captured session (empty before the first capture). Any thread: for a request
  // that carries no session of its own and starts off the main thread.
  static RequestSession latest();
  // The session for a request that carries none: captured now on the main thread, else latest().
  static RequestSession forRequestStart();
};

}  // namespace nvx
