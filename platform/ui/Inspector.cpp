#include "platform/ui/Inspector.h"

#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

namespace platform::ui {
namespace {

bool shown(const View& v) { return !v.isHidden() && v.alpha() >= 0.01; }

void collect(const std::shared_ptr<View>& v, const std::function<bool(const View&)>& match,
             std::vector<std::shared_ptr<View>>& out) {
  if (!shown(*v)) return;
  if (match(*v)) out.push_back(v);
  for (const auto& sub : v->subviews()) collect(sub, match, out);
}

void renderTree(const View& v, int depth, std::string& out) {
  if (!shown(v)) return;
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += v.describe();
  out += '\n';
  for (const auto& sub : v.subviews()) renderTree(*sub, depth + 1, out);
}

std::string quoteText(std::string_view text) { return View::quote(text); }

}  // namespace

std::shared_ptr<Window> Inspector::window() const {
  if (window_) return window_;
  if (auto key = Window::keyWindow()) return key;
  for (const auto& w : Window::visibleInOrder()) {
    if (w->windowLevel() == WindowLevel::Normal) return w;
  }
  return nullptr;
}

std::vector<std::shared_ptr<Window>> Inspector::windows() const {
  std::vector<std::shared_ptr<Window>> out;
  auto main = window();
  if (main) out.push_back(main);
  for (const auto& w : Window::visibleInOrder()) {
    if (w != main && w->windowLevel() > WindowLevel::Normal) out.push_back(w);
  }
  return out;
}

std::vector<std::shared_ptr<View>> Inspector::findAll(const std::function<bool(const View&)>& match) const {
  std::vector<std::shared_ptr<View>> out;
  for (const auto& w : windows()) collect(w, match, out);
  return out;
}

std::shared_ptr<View> Inspector::find(const std::function<bool(const View&)>& match) const {
  auto all = findAll(match);
  return all.empty() ? nullptr : all.front();
}

std::shared_ptr<View> Inspector::byText(std::string_view text) const {
  return find([&](const View& v) {
    auto t = v.displayText();
    return t && *t == text;
  });
}

std::shared_ptr<View> Inspector::containingText(std::string_view part) const {
  return find([&](const View& v) {
    auto t = v.displayText();
    return t && t->find(part) != std::string::npos;
  });
}

std::shared_ptr<View> Inspector::byTag(int tag) const {
  return find([&](const View& v) { return v.tag() == tag; });
}

std::vector<std::shared_ptr<View>> Inspector::byKind(std::string_view kind) const {
  return findAll([&](const View& v) { return v.kind() == kind; });
}

Status Inspector::tapControl(Control& control) {
  std::string name = control.kind() + (control.displayText() ? " " + quoteText(*control.displayText()) : "");
  if (!control.isEnabled()) return Status::error(name + " is disabled");
  if (!control.acceptsTouches()) return Status::error(name + " is hidden or takes no touches");
  auto w = control.window();
  if (!w || !w->isVisible()) return Status::error(name + " is in no visible window");
  Rect f = control.frameInWindow();
  Point centre{w->frame().x + f.midX(), w->frame().y + f.midY()};
  auto hit = Window::hitTestScreen(centre);
  if (!hit || !hit->isDescendantOf(control)) {
    return Status::error(name + " is covered: a touch at its centre reaches " + (hit ? hit->describe() : "nothing"));
  }
  if (!control.tap()) return Status::error(name + " did not take the tap");
  return Status::ok();
}

Status Inspector::tap(std::string_view title) {
  auto candidates = findAll([&](const View& v) {
    auto t = v.displayText();
    return t && *t == title && dynamic_cast<const Control*>(&v) != nullptr;
  });
  if (candidates.empty()) return Status::error("no button " + quoteText(title) + " on the screen");
  std::vector<std::shared_ptr<Control>> usable;
  std::string lastError;
  for (auto& v : candidates) {
    auto c = std::static_pointer_cast<Control>(v);
    if (!c->isEnabled()) {
      lastError = "button " + quoteText(title) + " is disabled";
      continue;
    }
    auto w = c->window();
    Rect f = c->frameInWindow();
    Point centre{w->frame().x + f.midX(), w->frame().y + f.midY()};
    auto hit = Window::hitTestScreen(centre);
    if (!c->acceptsTouches() || !hit || !hit->isDescendantOf(*c)) {
      lastError = "button " + quoteText(title) + " is covered: a touch at its centre reaches " +
                  (hit ? hit->describe() : "nothing");
      continue;
    }
    usable.push_back(c);
  }
  if (usable.empty()) return Status::error(lastError);
  if (usable.size() > 1) {
    return Status::error(std::to_string(usable.size()) + " buttons " + quoteText(title) + " could be meant");
  }
  return tapControl(*usable.front());
}

Status Inspector::tapTag(int tag) {
  auto views = findAll([&](const View& v) { return v.tag() == tag; });
  if (views.empty()) return Status::error("no view with tag " + std::to_string(tag) + " on the screen");
  if (views.size() > 1) return Status::error(std::to_string(views.size()) + " views have tag " + std::to_string(tag));
  auto control = std::dynamic_pointer_cast<Control>(views.front());
  if (!control) return Status::error("the view with tag " + std::to_string(tag) + " is a " + views.front()->kind() + ", not a control");
  return tapControl(*control);
}

Status Inspector::tapButtonOf(View& container, std::string_view title, const std::string& what) {
  std::vector<std::shared_ptr<Button>> buttons;
  std::string titles;
  for (const auto& sub : container.subviews()) {
    auto b = std::dynamic_pointer_cast<Button>(sub);
    if (!b) continue;
    titles += (titles.empty() ? "" : ", ") + quoteText(b->currentTitle());
    if (b->currentTitle() == title) buttons.push_back(b);
  }
  if (buttons.empty()) return Status::error(what + " has no button " + quoteText(title) + " (buttons: " + titles + ")");
  if (buttons.size() > 1) return Status::error(what + " has " + std::to_string(buttons.size()) + " buttons " + quoteText(title));
  return tapControl(*buttons.front());
}

Status Inspector::answerAlert(std::string_view buttonTitle) {
  auto alert = topAlert();
  if (!alert) return Status::error("no alert is shown");
  return tapButtonOf(*alert, buttonTitle, "the alert " + quoteText(alert->title()));
}

std::shared_ptr<ActionSheet> Inspector::topSheet() const {
  auto list = ActionSheet::visible();
  return list.empty() ? nullptr : list.back();
}

Status Inspector::chooseInSheet(std::string_view buttonTitle) {
  auto sheet = topSheet();
  if (!sheet) return Status::error("no action sheet is shown");
  return tapButtonOf(*sheet, buttonTitle, "the action sheet " + quoteText(sheet->title()));
}

std::shared_ptr<ViewController> Inspector::topScreen() const {
  auto w = window();
  if (!w) return nullptr;
  auto vc = w->rootViewController();
  while (vc) {
    if (auto presented = vc->presentedViewController()) {
      vc = presented;
      continue;
    }
    auto nav = std::dynamic_pointer_cast<NavigationController>(vc);
    if (!nav || !nav->topViewController()) break;
    vc = nav->topViewController();
  }
  return vc;
}

std::string Inspector::render() const {
  std::string out;
  for (const auto& w : windows()) renderTree(*w, 0, out);
  return out;
}

}  // namespace platform::ui
