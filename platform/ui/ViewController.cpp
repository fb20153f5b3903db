#include "platform/ui/ViewController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

// Process-wide screen hooks (a fresh process starts without any).
struct ScreenHooks {
  std::vector<std::function<void(ViewController&)>> loaded;
  std::vector<std::function<void(const ViewController*)>> released;
};

}  // namespace

ViewController::ViewController() = default;

ViewController::~ViewController() {
  auto* hooks = Process::current().sharedIfExists<ScreenHooks>();
  if (!hooks) return;
  auto released = hooks->released;   // a hook may add hooks
  for (const auto& hook : released) hook(this);
}

void ViewController::addViewLoadedHook(std::function<void(ViewController&)> hook) {
  if (hook) Process::current().shared<ScreenHooks>().loaded.push_back(std::move(hook));
}

void ViewController::addReleasedHook(std::function<void(const ViewController*)> hook) {
  if (hook) Process::current().shared<ScreenHooks>().released.push_back(std::move(hook));
}

std::shared_ptr<View> ViewController::view() {
  if (view_ || loading_) return view_;
  assertMainThread();
  loading_ = true;
  loadView();
  if (!view_) {
    log::warning("ViewController", className() + ": loadView set no view; a plain view is used");
    view_ = View::create(Screen::bounds());
  }
  loading_ = false;
  auto keep = weak_from_this().lock();   // a hook or viewDidLoad may drop the last owner
  if (auto* hooks = Process::current().sharedIfExists<ScreenHooks>()) {
    auto loaded = hooks->loaded;
    for (const auto& hook : loaded) hook(*this);
  }
  viewDidLoad();
  return view_;
}

void ViewController::loadView() { view_ = View::create(Screen::bounds()); }

void ViewController::setTitle(std::string title) {
  title_ = std::move(title);
  navigationItem_.changed();
}

std::shared_ptr<NavigationController> ViewController::navigationController() const {
  for (auto p = parent_.lock(); p; p = p->parent_.lock()) {
    if (auto nav = std::dynamic_pointer_cast<NavigationController>(p)) return nav;
  }
  return nullptr;
}

std::shared_ptr<ViewController> ViewController::hostController() {
  std::shared_ptr<ViewController> c = weak_from_this().lock();
  if (!c) return nullptr;
  while (auto p = c->parent_.lock()) c = p;
  return c;
}

std::shared_ptr<ViewController> ViewController::presentedViewController() const {
  auto host = const_cast<ViewController*>(this)->hostController();
  return host ? host->presented_ : presented_;
}

std::shared_ptr<ViewController> ViewController::presentingViewController() const {
  auto host = const_cast<ViewController*>(this)->hostController();
  return host ? host->presenting_.lock() : presenting_.lock();
}

void ViewController::finishPending(std::shared_ptr<Transition>& slot) {
  if (!slot) return;
  auto pending = std::move(slot);
  slot.reset();
  pending->finish();
}

void ViewController::runTransition(std::shared_ptr<Transition>& slot, std::function<void()> end, bool animated) {
  auto t = std::make_shared<Transition>();
  t->end = std::move(end);
  if (!animated) {
    t->finish();
    return;
  }
  slot = t;
  dispatchAfter(secs(kTransitionSeconds), [t] { t->finish(); });
}

void ViewController::presentModal(std::shared_ptr<ViewController> vc, bool animated, std::function<void()> completion) {
  assertMainThread();
  auto host = hostController();
  if (!vc || !host) return;   // screens are shared objects (make_shared / create)
  if (vc == host || vc->parent_.lock() || vc->presenting_.lock() || vc->presented_) {
    log::warning("ViewController", "present " + vc->className() + ": it is already shown elsewhere");
    return;
  }
  finishPending(host->modalTransition_);
  if (host->presented_) {
    log::warning("ViewController", "present " + vc->className() + ": " + host->className() + " already presents " +
                                       host->presented_->className());
    return;
  }
  host->presented_ = vc;
  vc->presenting_ = host;
  bool onScreen = host->isOnScreen();
  auto hostView = host->viewIfLoaded();
  auto window = hostView ? hostView->window() : nullptr;

  if (onScreen) host->beginAppearanceTransition(false, animated);
  auto modalView = vc->view();
  if (window) {
    modalView->setFrame(Screen::applicationFrame());
  } else if (hostView) {
    modalView->setFrame(hostView->frame());
  }
  if (onScreen) vc->beginAppearanceTransition(true, animated);
  if (window) window->addSubview(modalView);

  std::weak_ptr<View> weakHostView = hostView;
  std::weak_ptr<Window> weakWindow = window;
  std::weak_ptr<ViewController> weakHost = host;   // the transition is kept by the host
  runTransition(
      host->modalTransition_,
      [weakHost, vc, weakHostView, weakWindow, onScreen, completion = std::move(completion)] {
        auto host = weakHost.lock();
        // The presenting screen's view leaves the window while it is covered.
        auto hv = weakHostView.lock();
        auto w = weakWindow.lock();
        if (host && hv && w && host->presented_ == vc && hv->superview() == w) hv->removeFromSuperview();
        if (onScreen) {
          if (host) host->endAppearanceTransition();
          vc->endAppearanceTransition();
        }
        if (completion) completion();
      },
      animated);
}

void ViewController::dismissModal(bool animated, std::function<void()> completion) {
  assertMainThread();
  auto host = hostController();
  if (!host) return;
  std::shared_ptr<ViewController> presenter = host->presented_ ? host : host->presenting_.lock();
  if (!presenter || !presenter->presented_) {
    log::warning("ViewController", "dismiss: " + className() + " presents nothing and is not presented");
    return;
  }
  finishPending(presenter->modalTransition_);
  if (!presenter->presented_) return;
  // Everything presented above the presenter goes; only the top one sees the transition.
  std::vector<std::shared_ptr<ViewController>> chain;
  for (auto m = presenter->presented_; m; m = m->presented_) {
    finishPending(m->modalTransition_);
    chain.push_back(m);
  }
  auto top = chain.back();
  auto topView = top->viewIfLoaded();
  auto window = topView ? topView->window() : nullptr;
  bool onScreen = top->isOnScreen();

  if (onScreen) top->beginAppearanceTransition(false, animated);
  for (auto& m : chain) {
    m->presenting_.reset();
    if (m != top) m->presented_.reset();
  }
  presenter->presented_.reset();
  if (onScreen) presenter->beginAppearanceTransition(true, animated);
  // The presenter's view comes back right under the one that leaves.
  if (window) {
    auto pv = presenter->view();
    if (pv->superview() != window) {
      const auto& subs = window->subviews();
      size_t index = subs.size();
      for (size_t i = 0; i < subs.size(); ++i) {
        if (subs[i] == topView) index = i;
      }
      window->insertSubview(pv, index);
    }
  }
  std::weak_ptr<ViewController> weakPresenter = presenter;   // the transition is kept by the presenter
  runTransition(
      presenter->modalTransition_,
      [weakPresenter, chain, top, onScreen, completion = std::move(completion)] {
        for (auto& m : chain) {
          if (auto v = m->viewIfLoaded(); v && std::dynamic_pointer_cast<Window>(v->superview())) v->removeFromSuperview();
        }
        if (onScreen) {
          top->endAppearanceTransition();
          if (auto presenter = weakPresenter.lock()) presenter->endAppearanceTransition();
        }
        if (completion) completion();
      },
      animated);
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated) {
  assertMainThread();
  if (appearing) {
    if (appearance_ == Appearance::Appearing || appearance_ == Appearance::Appeared) return;
  } else {
    if (appearance_ == Appearance::Disappearing || appearance_ == Appearance::Disappeared) return;
  }
  auto keep = weak_from_this().lock();
  willBeginAppearanceTransition(appearing, animated);
  lastAnimated_ = animated;
  if (appearing) {
    view();
    appearance_ = Appearance::Appearing;
    viewWillAppear(animated);
  } else {
    appearance_ = Appearance::Disappearing;
    viewWillDisappear(animated);
  }
  for (auto& child : appearanceChildren()) child->beginAppearanceTransition(appearing, animated);
  didBeginAppearanceTransition(appearing, animated);
}

void ViewController::endAppearanceTransition() {
  auto keep = weak_from_this().lock();
  if (appearance_ == Appearance::Appearing) {
    appearance_ = Appearance::Appeared;
    viewDidAppear(lastAnimated_);
  } else if (appearance_ == Appearance::Disappearing) {
    appearance_ = Appearance::Disappeared;
    viewDidDisappear(lastAnimated_);
  } else {
    return;
  }
  for (auto& child : appearanceChildren()) child->endAppearanceTransition();
}

}  // namespace platform::ui
