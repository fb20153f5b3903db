#include "platform/ui/Window.h"

#include <algorithm>

#include "platform/foundation/Process.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"

namespace platform::ui {
namespace {

struct WindowRegistry {
  std::vector<Window*> windows;   // creation order; each window removes itself when destroyed
  const Window* key = nullptr;
  uint64_t shown = 0;
};

WindowRegistry& registry() { return Process::current().shared<WindowRegistry>(); }

}  // namespace

Window::Window(Rect frame) : View(frame) {
  View::setHidden(true);
  registry().windows.push_back(this);
}

std::shared_ptr<Window> Window::create() { return create(Screen::bounds()); }

std::shared_ptr<Window> Window::create(Rect frame) { return std::make_shared<Window>(frame); }

Window::~Window() {
  if (auto* reg = Process::current().sharedIfExists<WindowRegistry>()) {
    std::erase(reg->windows, this);
    if (reg->key == this) reg->key = nullptr;
  }
}

void Window::setRootViewController(std::shared_ptr<ViewController> vc) {
  assertMainThread();
  if (root_ == vc) return;
  auto old = std::move(root_);
  root_ = vc;
  bool visible = isVisible();
  if (old) {
    if (visible) old->beginAppearanceTransition(false, false);
    if (auto v = old->viewIfLoaded(); v && v->superview().get() == this) v->removeFromSuperview();
    if (visible) old->endAppearanceTransition();
  }
  if (vc) {
    auto v = vc->view();
    Rect app = Screen::applicationFrame();
    v->setFrame(Rect{app.x - frame().x, app.y - frame().y, app.width, app.height});
    if (visible) vc->beginAppearanceTransition(true, false);
    insertSubview(v, 0);
    if (visible) vc->endAppearanceTransition();
  }
}

void Window::makeKeyAndVisible() {
  makeKeyWindow();
  setHidden(false);
}

void Window::makeKeyWindow() { registry().key = this; }

bool Window::isKeyWindow() const { return registry().key == this; }

void Window::setHidden(bool hidden) {
  assertMainThread();
  if (hidden == isHidden()) return;
  View::setHidden(hidden);
  if (!hidden) shownOrder_ = ++registry().shown;
  if (!root_) return;
  auto keep = root_;
  keep->beginAppearanceTransition(!hidden, false);
  keep->endAppearanceTransition();
}

std::vector<std::shared_ptr<Window>> Window::all() {
  std::vector<std::shared_ptr<Window>> out;
  for (Window* w : registry().windows) {
    if (auto s = std::static_pointer_cast<Window>(w->weak_from_this().lock())) out.push_back(s);
  }
  return out;
}

std::shared_ptr<Window> Window::keyWindow() {
  const Window* key = registry().key;
  if (!key) return nullptr;
  return std::static_pointer_cast<Window>(std::const_pointer_cast<View>(key->weak_from_this().lock()));
}

std::vector<std::shared_ptr<Window>> Window::visibleInOrder() {
  auto list = all();
  std::erase_if(list, [](const auto& w) { return w->isHidden(); });
  std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
    if (a->level_ != b->level_) return a->level_ < b->level_;
    return a->shownOrder_ < b->shownOrder_;
  });
  return list;
}

std::shared_ptr<View> Window::hitTestScreen(Point p) {
  auto list = visibleInOrder();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    const auto& w = *it;
    if (auto hit = w->hitTest(Point{p.x - w->frame().x, p.y - w->frame().y})) return hit;
  }
  return nullptr;
}

void Window::describeExtras(std::string& out) const {
  if (level_ != WindowLevel::Normal) out += " level=" + std::to_string(level_);
  if (isKeyWindow()) out += " [key]";
}

}  // namespace platform::ui
