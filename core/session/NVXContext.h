// The screens the client needs to know about from anywhere: the one whose view was loaded last
// (the token-expiry handler treats it as the screen on top) and the one to return to after a
// forced re-login. Neither is owned. Main thread only.
#pragma once
#include <memory>

#include "platform/ui/ViewController.h"

namespace platform {
class Process;
}

namespace nvx {

class NVXContext {
 public:
  // The one context of the run, made on first use.
  static NVXContext& sharedContext();
  static NVXContext& sharedNVXContext() { return sharedContext(); }

  NVXContext(const NVXContext&) = delete;
  NVXContext& operator=(const NVXContext&) = delete;

  std::shared_ptr<platform::ui::ViewController> visibleViewController() const { return visible_.lock(); }
  void setVisibleViewController(const std::shared_ptr<platform::ui::ViewController>& screen) { visible_ = screen; }
  std::shared_ptr<platform::ui::ViewController> reloginToViewController() const { return relogin_.lock(); }
  void setReloginToViewController(const std::shared_ptr<platform::ui::ViewController>& screen) {
    relogin_ = screen;
  }

  // Starts tracking screens for this run: every screen whose view is loaded becomes the visible
  // one (before its viewDidLoad runs), and the release of any screen clears it. Called once at
  // start by installRuntimeHooks(); calling it again changes nothing.
  static void installScreenTracking();

 private:
  friend class platform::Process;
  NVXContext() = default;

  std::weak_ptr<platform::ui::ViewController> visible_;
  std::weak_ptr<platform::ui::ViewController> relogin_;
};

// Installs the client's process-wide hooks (screen tracking). The client calls it once when it
// starts, before any screen is made; tests that rely on the hooks call it in their set-up.
void installRuntimeHooks();

}  // namespace nvx
