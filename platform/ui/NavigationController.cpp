#include "platform/ui/NavigationController.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/ui/Button.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMetrics.h"

namespace platform::ui {
namespace {

constexpr const char* kBackTitle = "返回";

std::shared_ptr<Button> titleButton(const std::string& title) {
  auto b = Button::create(ButtonType::RoundedRect);
  b->setTitle(title);
  Size text = TextMetrics::measure(title, b->titleFont());
  b->setFrame(Rect{0, 0, text.width + 20, 30});
  return b;
}

}  // namespace

std::shared_ptr<NavigationController> NavigationController::create(std::shared_ptr<ViewController> root) {
  auto nav = std::make_shared<NavigationController>();
  if (root) nav->setViewControllers({std::move(root)}, false);
  return nav;
}

void NavigationController::loadView() {
  auto container = View::create(Screen::applicationFrame());
  bar_ = std::make_shared<NavigationBar>(Rect{0, 0, container->frame().width, NavigationBar::kHeight});
  bar_->setHidden(barHidden_);
  container->addSubview(bar_);
  setView(container);
}

std::shared_ptr<NavigationBar> NavigationController::navigationBar() {
  view();
  return bar_;
}

std::shared_ptr<ViewController> NavigationController::topViewController() const {
  return stack_.empty() ? nullptr : stack_.back();
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
  if (auto p = presentedViewController()) return p;
  return topViewController();
}

std::vector<std::shared_ptr<ViewController>> NavigationController::appearanceChildren() const {
  if (auto top = topViewController()) return {top};
  return {};
}

void NavigationController::willBeginAppearanceTransition(bool, bool) { finishPending(pending_); }

void NavigationController::didBeginAppearanceTransition(bool appearing, bool animated) {
  if (!appearing) return;
  auto top = topViewController();
  installTopView();
  if (top && willShow_) willShow_(*this, *top, animated);
  updateBar();
}

std::weak_ptr<NavigationController> NavigationController::weakSelf() {
  return std::static_pointer_cast<NavigationController>(weak_from_this().lock());
}

void NavigationController::adopt(const std::shared_ptr<ViewController>& vc) {
  vc->parent_ = weak_from_this();
  std::weak_ptr<NavigationController> weakNav = weakSelf();
  const ViewController* raw = vc.get();
  vc->navigationItem_.onChange_ = [weakNav, raw] {
    auto nav = weakNav.lock();
    if (nav && nav->topViewController().get() == raw) nav->updateBar();
  };
}

void NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> stack, bool animated) {
  assertMainThread();
  std::vector<std::shared_ptr<ViewController>> next;
  for (auto& vc : stack) {
    if (!vc || vc.get() == this || std::find(next.begin(), next.end(), vc) != next.end()) continue;
    auto parent = vc->parent_.lock();
    if (parent && parent.get() != this) continue;
    next.push_back(vc);
  }
  finishPending(pending_);
  auto from = topViewController();
  std::vector<std::shared_ptr<ViewController>> released;
  for (auto& old : stack_) {
    if (std::find(next.begin(), next.end(), old) == next.end()) released.push_back(old);
  }
  stack_ = std::move(next);
  for (auto& vc : stack_) adopt(vc);
  transition(from, topViewController(), animated, std::move(released));
}

void NavigationController::push(std::shared_ptr<ViewController> vc, bool animated) {
  assertMainThread();
  if (!vc) return;
  if (vc.get() == this || vc->parent_.lock() || vc->presentingViewController() ||
      std::find(stack_.begin(), stack_.end(), vc) != stack_.end()) {
    log::warning("NavigationController", "push " + vc->className() + ": it is already shown elsewhere");
    return;
  }
  finishPending(pending_);
  auto from = topViewController();
  stack_.push_back(vc);
  adopt(vc);
  transition(from, vc, animated, {});
}

std::shared_ptr<ViewController> NavigationController::pop(bool animated) {
  assertMainThread();
  if (stack_.size() < 2) return nullptr;
  finishPending(pending_);
  auto from = stack_.back();
  stack_.pop_back();
  transition(from, stack_.back(), animated, {from});
  return from;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popTo(const ViewController& vc, bool animated) {
  assertMainThread();
  auto it = std::find_if(stack_.begin(), stack_.end(), [&](const auto& s) { return s.get() == &vc; });
  if (it == stack_.end() || it + 1 == stack_.end()) return {};
  finishPending(pending_);
  std::vector<std::shared_ptr<ViewController>> popped(it + 1, stack_.end());
  auto from = stack_.back();
  stack_.erase(it + 1, stack_.end());
  transition(from, stack_.back(), animated, popped);
  return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRoot(bool animated) {
  if (stack_.empty()) return {};
  return popTo(*stack_.front(), animated);
}

void NavigationController::transition(std::shared_ptr<ViewController> from, std::shared_ptr<ViewController> to,
                                      bool animated, std::vector<std::shared_ptr<ViewController>> released) {
  lastAnimated_ = animated;
  auto keep = weak_from_this().lock();
  bool onScreen = isOnScreen() && from != to;
  if (onScreen) {
    if (from) from->beginAppearanceTransition(false, animated);
    if (to) to->beginAppearanceTransition(true, animated);
  }
  if (isOnScreen()) {
    if (to && willShow_ && from != to) willShow_(*this, *to, animated);
    installTopView();
  }
  if (isViewLoaded()) updateBar();
  for (auto& r : released) r->navigationItem_.onChange_ = nullptr;

  std::weak_ptr<NavigationController> weakNav = weakSelf();
  runTransition(
      pending_,
      [weakNav, from, to, onScreen, released = std::move(released)] {
        if (onScreen) {
          if (from) from->endAppearanceTransition();
          if (to) to->endAppearanceTransition();
        }
        auto nav = weakNav.lock();
        for (auto& r : released) {
          if (r->parent_.lock() == nav) r->parent_.reset();
        }
      },
      animated && onScreen);
}

Rect NavigationController::contentFrame() const {
  auto v = viewIfLoaded();
  if (!v) return Rect{};
  Rect b = v->bounds();
  if (barHidden_) return b;
  return Rect{0, NavigationBar::kHeight, b.width, b.height - NavigationBar::kHeight};
}

void NavigationController::installTopView() {
  auto container = viewIfLoaded();
  if (!container) return;
  auto top = topViewController();
  std::shared_ptr<View> topView = top ? top->view() : nullptr;
  // Views of other screens of the stack (or of the screen that just left it) go; what else was put
  // over the container (a progress overlay shown while the new screen loaded) stays above it.
  auto isScreenView = [&](const std::shared_ptr<View>& sub) {
    if (sub == installedView_.lock()) return true;
    return std::any_of(stack_.begin(), stack_.end(), [&](const auto& vc) { return vc->viewIfLoaded() == sub; });
  };
  std::vector<std::shared_ptr<View>> leave;
  for (const auto& sub : container->subviews()) {
    if (sub != bar_ && sub != topView && isScreenView(sub)) leave.push_back(sub);
  }
  for (auto& v : leave) v->removeFromSuperview();
  if (topView) {
    topView->setFrame(contentFrame());
    if (topView->superview() != container) container->insertSubview(topView, 0);
  }
  installedView_ = topView;
}

void NavigationController::updateBar() {
  if (!bar_) return;
  auto top = topViewController();
  if (!top) {
    bar_->setTitle("");
    bar_->setItemViews(nullptr, nullptr);
    return;
  }
  const NavigationItem& item = top->navigationItem();
  bar_->setTitle(item.title().empty() ? top->title() : item.title());
  std::weak_ptr<NavigationController> weakNav = weakSelf();

  auto itemView = [](const std::shared_ptr<BarButtonItem>& it) -> std::shared_ptr<View> {
    if (!it) return nullptr;
    if (it->customView()) return it->customView();
    auto b = titleButton(it->title());
    b->setEnabled(it->isEnabled());
    std::weak_ptr<BarButtonItem> weakItem = it;
    b->addTarget(nullptr, ControlEvent::TouchUpInside, [weakItem](Control&) {
      if (auto i = weakItem.lock()) i->trigger();
    });
    return b;
  };
  std::shared_ptr<View> left = itemView(item.leftBarButtonItem());
  if (!left && stack_.size() > 1 && !item.hidesBackButton()) {
    const auto& prev = stack_[stack_.size() - 2];
    std::string title = prev->navigationItem().title().empty() ? prev->title() : prev->navigationItem().title();
    auto back = titleButton(title.empty() ? kBackTitle : title);
    back->addTarget(nullptr, ControlEvent::TouchUpInside, [weakNav](Control&) {
      if (auto nav = weakNav.lock()) nav->pop(true);
    });
    left = back;
  }
  bar_->setItemViews(left, itemView(item.rightBarButtonItem()));
}

void NavigationController::setNavigationBarHidden(bool hidden, bool) {
  barHidden_ = hidden;
  if (!bar_) return;
  bar_->setHidden(hidden);
  if (auto top = topViewController(); top && top->isViewLoaded() && top->view()->superview() == viewIfLoaded()) {
    top->view()->setFrame(contentFrame());
  }
}

}  // namespace platform::ui
