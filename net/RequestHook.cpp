#include "net/RequestHook.h"

#include <atomic>
#include <mutex>

#include "core/text/UrlEscaping.h"
#include "net/MacRule.h"
#include "net/NetService.h"
#include "net/ServerConfig.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "RequestHook";

using platform::net::HttpRequest;

// Whether this process's HTTP client has the hook (fresh after a test reset, as the client's
// own hook list is).
struct HookState {
  std::mutex mutex;
  std::atomic<bool> installed{false};
};

HookState& hookState() { return platform::Process::current().shared<HookState>(); }

// Stops a request that must not go out: the start fails locally with InvalidRequest on both
// roads (the asynchronous failure event, or error() after the synchronous start).
void refuse(HttpRequest& request, std::string_view why) {
  platform::log::error(kTag, std::string("request not sent: ") + std::string(why));
  request.refuse(std::string(why));
}

}  // namespace

void RequestHook::install() {
  HookState& state = hookState();
  if (state.installed.load()) return;
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.installed.load()) return;
  ServerConfig::current();  // hands the CA setting to the HTTP client
  HttpRequest::addPreStartHook([](HttpRequest& request) { preStartRequest(request); });
  state.installed = true;
}

bool RequestHook::isInstalled() { return hookState().installed.load(); }

void RequestHook::preStartRequest(HttpRequest& request) {
  if (request.needPostBody()) return;
  preStartRequest(request, sessionOf(request));
}

void RequestHook::preStartRequest(HttpRequest& request, const RequestSession& session) {
  if (request.needPostBody()) return;
  const std::string& method = request.method();
  if (method == "PUT" || method == "POST") {
    filtAppendPostValue(request, session);
    if (!filtPostKeyBuildMac(request, session)) refuse(request, "no MAC key for a protected action");
  } else {
    filtAppendGetValue(request, session);
  }
}

RequestSession RequestHook::sessionOf(const HttpRequest& request) {
  if (const auto* service = dynamic_cast<const NetService*>(&request); service && service->session()) {
    return *service->session();
  }
  return RequestSession::forRequestStart();
}

void RequestHook::filtAppendPostValue(HttpRequest& request) { filtAppendPostValue(request, sessionOf(request)); }

void RequestHook::filtAppendPostValue(HttpRequest& request, const RequestSession& session) {
  request.setPostValue("ver", std::string(kProtocolVersion));
  auto custlev = request.postValue("custlev");
  if (custlev && !custlev->empty()) return;
  request.setPostValue("custlev", session.custlev);
}

void RequestHook::filtAppendGetValue(HttpRequest& request) { filtAppendGetValue(request, sessionOf(request)); }

void RequestHook::filtAppendGetValue(HttpRequest& request, const RequestSession& session) {
  const std::string& level = session.custlev;
  std::string url = text::urlAppendValue(request.url(), kProtocolVersion, "ver");
  url = text::urlAppendValue(url, level.empty() ? std::string_view("(null)") : std::string_view(level), "custlev");
  request.setUrl(std::move(url));
}

bool RequestHook::filtPostKeyBuildMac(HttpRequest& request) { return filtPostKeyBuildMac(request, sessionOf(request)); }

bool RequestHook::filtPostKeyBuildMac(HttpRequest& request, const RequestSession& session) {
  return MacRule::apply(MacRule::evaluate(request.url(), request.postFields(), MacKeys::of(session)), request);
}

}  // namespace nvx
