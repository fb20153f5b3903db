// The hook every request of the HTTP client passes just before it starts, on both roads and on
// the starting thread: it stamps "ver" and "custlev" and, for protected transaction actions,
// the MAC over the fixed fields (amounts rewritten as 12-digit fen), with the wallet's virtual
// terminal where the form says so (MacRule).
//
// It never reads User: a request built by MainApiRequest carries the session captured on the
// main thread; any other request gets one captured at its start on the main thread, or the
// latest captured one when it starts on a worker (RequestSession::forRequestStart).
//
// A protected request whose terminal has no MAC key is never sent: it fails locally with a
// request error (InvalidRequest), as a transport failure does, and nothing reaches the server.
#pragma once
#include <string>
#include <string_view>

#include "net/RequestSession.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

class RequestHook {
 public:
  static constexpr std::string_view kProtocolVersion = "28";

  // Installs the hook for this process (once; later calls do nothing). The client calls it at
  // start; the request layer's builders make sure it is installed too.
  static void install();
  static bool isInstalled();

  // The dispatch: needPostBody -> nothing; "PUT"/"POST" -> filtAppendPostValue then
  // filtPostKeyBuildMac; anything else -> filtAppendGetValue.
  static void preStartRequest(platform::net::HttpRequest& request);
  static void preStartRequest(platform::net::HttpRequest& request, const RequestSession& session);
  // The session the hook uses for a request (see above).
  static RequestSession sessionOf(const platform::net::HttpRequest& request);
  // "ver" = "28"; "custlev" kept when set and non-empty, else the session's level.
  static void filtAppendPostValue(platform::net::HttpRequest& request);
  static void filtAppendPostValue(platform::net::HttpRequest& request, const RequestSession& session);
  // "ver=28" and "custlev=<level or (null)>" appended to the address as query pairs.
  static void filtAppendGetValue(platform::net::HttpRequest& request);
  static void filtAppendGetValue(platform::net::HttpRequest& request, const RequestSession& session);
  // The wallet's terminal, the amounts in fen and the MAC, for protected actions (MacRule,
  // applied in one step). false when the request must not be sent (no MAC key for its terminal).
  static bool filtPostKeyBuildMac(platform::net::HttpRequest& request);
  static bool filtPostKeyBuildMac(platform::net::HttpRequest& request, const RequestSession& session);
};

}  // namespace nvx
