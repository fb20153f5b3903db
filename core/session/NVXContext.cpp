#include "core/session/NVXContext.h"

#include "core/shell/MainThread.h"
#include "platform/foundation/Process.h"

namespace nvx {
namespace {

// Whether this run's hooks are in place (a process reset drops the hooks and this flag alike).
struct RuntimeHooks {
  bool screenTracking = false;
};

}  // namespace

NVXContext& NVXContext::sharedContext() {
  assertMainThread("NVXContext");
  return platform::Process::current().shared<NVXContext>();
}

void NVXContext::installScreenTracking() {
  auto& hooks = platform::Process::current().shared<RuntimeHooks>();
  if (hooks.screenTracking) return;
  hooks.screenTracking = true;
  platform::ui::ViewController::addViewLoadedHook([](platform::ui::ViewController& screen) {
    // Empty for a screen not held by a shared pointer: such a screen cannot be tracked weakly.
    sharedContext().visible_ = screen.weak_from_this();
  });
  platform::ui::ViewController::addReleasedHook([](const platform::ui::ViewController*) {
    // Whichever screen goes, the visible one is forgotten. No context is made for this: a screen
    // released while the run is torn down finds none.
    if (auto* context = platform::Process::current().sharedIfExists<NVXContext>()) context->visible_.reset();
  });
}

void installRuntimeHooks() { NVXContext::installScreenTracking(); }

}  // namespace nvx
