#include "net/RequestHook.h"

#include <atomic>
#include <mutex>

#include "core/crypto/EncryptTool.h"
#include "core/crypto/SecureBytes.h"
#include "core/text/UrlEscaping.h"
#include "core/session/User.h"
#include "net/MacParamUtil.h"
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
  const std::string& method = request.method();
  if (method == "PUT" || method == "POST") {
    filtAppendPostValue(request);
    if (!filtPostKeyBuildMac(request)) refuse(request, "no MAC key for a protected action");
  } else {
    filtAppendGetValue(request);
  }
}

void RequestHook::filtAppendPostValue(HttpRequest& request) {
  request.setPostValue("ver", std::string(kProtocolVersion));
  auto custlev = request.postValue("custlev");
  if (custlev && !custlev->empty()) return;
  request.setPostValue("custlev", User::currentUser().custlev());
}

void RequestHook::filtAppendGetValue(HttpRequest& request) {
  const std::string& level = User::currentUser().custlev();
  std::string url = text::urlAppendValue(request.url(), kProtocolVersion, "ver");
  url = text::urlAppendValue(url, level.empty() ? std::string_view("(null)") : std::string_view(level), "custlev");
  request.setUrl(std::move(url));
}

bool RequestHook::filtPostKeyBuildMac(HttpRequest& request) {
  const User& user = User::currentUser();
  const bool wallet = MacParamUtil::isFromWallet(request.postFields());
  if (wallet) request.setPostValue("termid", user.psamNo());

  const std::string address = request.url();
  const auto& fields = request.postFields();
  if (!MacParamUtil::isExistThePostKey(fields) || !MacParamUtil::isNeedMac(address)) return true;
  if (MacParamUtil::isExistUpdateKTWItem(address) && !MacParamUtil::isUpdateKTWItemNeedMac(fields)) return true;

  const bool withFee = MacParamUtil::isNeedFee(address);
  const bool publicBusid = MacParamUtil::isGongJiao(fields);
  const std::vector<std::string> values = MacParamUtil::getExistPOSTkey(fields, withFee, publicBusid);

  if (MacParamUtil::isExistForKey("famount", fields)) {
    request.setPostValue("famount", MacParamUtil::appendZero(MacParamUtil::valueForKey("famount", fields)));
  }
  if (MacParamUtil::isExistAmount(request.postFields())) {
    request.setPostValue("amount", MacParamUtil::appendZero(MacParamUtil::getAmount(request.postFields())));
  }
  if (MacParamUtil::isExistFee(request.postFields())) {
    request.setPostValue("fee", MacParamUtil::appendZero(MacParamUtil::getFee(request.postFields())));
  }

  const std::string input = MacParamUtil::getMACresult(values);
  std::string key;
  if (wallet) {
    key = std::string(user.currentVMac());
  } else if (auto mac = user.currentMac()) {
    key = std::string(*mac);
  }
  std::string mac = key.empty() ? std::string() : EncryptTool::generateMac(input, key);
  secureWipe(key);
  // A MAC that is empty or short (no key for the terminal, or nothing the routine can sign) would
  // be refused by the server at best; the request is not sent instead.
  if (mac.size() < 8) return false;
  request.setPostValue("mac", mac.substr(0, 8));
  if (wallet) request.removeFirstPostValue("wallet");
  return true;
}

}  // namespace nvx
