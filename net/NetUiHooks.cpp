#include "net/NetUiHooks.h"

#include "core/shell/MainThread.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"

namespace nvx {

namespace {

struct HooksState {
  NetUiHooks hooks;
};

NetUiHooks& installed() { return platform::Process::current().shared<HooksState>().hooks; }

void onMain(std::function<void()> work) {
  if (platform::RunLoop::main().isMainThread()) {
    work();
  } else {
    platform::dispatchMain(std::move(work));
  }
}

}  // namespace

const NetUiHooks& NetUiHooks::current() { return installed(); }

void NetUiHooks::install(NetUiHooks hooks) {
  assertMainThread("NetUiHooks::install");
  installed() = std::move(hooks);
}

void NetUiHooks::showSpinner() {
  onMain([] {
    if (const auto& hook = installed().showWindowSpinner) hook();
  });
}

void NetUiHooks::hideSpinner() {
  onMain([] {
    if (const auto& hook = installed().hideWindowSpinner) hook();
  });
}

bool NetUiHooks::expiredLoginTakenOver() {
  assertMainThread("NetUiHooks::expiredLoginTakenOver");
  const auto& hook = installed().handleExpiredLogin;
  return hook ? hook() : false;
}

bool NetUiHooks::expiredLoginShownOn(std::string_view code, const std::string& message,
                                     const std::shared_ptr<platform::ui::ViewController>& screen,
                                     std::weak_ptr<LoginViewControllerDelegate> delegate) {
  assertMainThread("NetUiHooks::expiredLoginShownOn");
  const auto& hook = installed().expiredLoginOnScreen;
  if (!hook) {
    platform::log::warning("NetUiHooks", "expired login with no screens to show it on");
    return true;
  }
  return hook(code, message, screen, std::move(delegate));
}

}  // namespace nvx
