#include "net/RequestSession.h"

#include <memory>
#include <mutex>

#include "core/shell/MainThread.h"
#include "net/BaseService.h"
#include "net/ServerConfig.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"

namespace nvx {

namespace {

// The latest capture, shared with workers under a lock (fresh after a test reset).
struct LatestSession {
  std::mutex mutex;
  std::shared_ptr<const RequestSession> session;
};

LatestSession& latestState() { return platform::Process::current().shared<LatestSession>(); }

}  // namespace

RequestSession RequestSession::capture() {
  assertMainThread("RequestSession::capture");
  const User& user = User::currentUser();
  RequestSession s;
  s.mainApiBase = ServerConfig::current().mainApiBase();
  s.uid = BaseService::uid();
  s.vercode = BaseService::vercode();
  s.userToken = user.userToken();
  s.loginName = user.loginName();
  s.psamId = user.psamId();
  s.psamNo = user.psamNo();
  s.custlev = user.custlev();
  if (auto mac = user.currentMac()) s.readerMac = TerminalKey{user.psamMAC()->terminalId, SecretText(*mac)};
  s.virtualMac = SecretText(user.currentVMac());
  LatestSession& latest = latestState();
  auto shared = std::make_shared<const RequestSession>(s);
  std::lock_guard<std::mutex> lock(latest.mutex);
  latest.session = std::move(shared);
  return s;
}

RequestSession RequestSession::latest() {
  LatestSession& latest = latestState();
  std::shared_ptr<const RequestSession> session;
  {
    std::lock_guard<std::mutex> lock(latest.mutex);
    session = latest.session;
  }
  return session ? *session : RequestSession();
}

RequestSession RequestSession::forRequestStart() {
  return platform::RunLoop::main().isMainThread() ? capture() : latest();
}

}  // namespace nvx
