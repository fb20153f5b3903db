#include "platform/ui/Inspector.h"

#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextEditing.h"

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

void Inspector::layout() const {
  for (const auto& w : windows()) w->layoutIfNeeded();
}

std::vector<std::shared_ptr<View>> Inspector::findAll(const std::function<bool(const View&)>& match) const {
  layout();
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
  layout();
  reveal(control);
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
  return Status::success();
}

Status Inspector::tap(std::string_view title) {
  auto candidates = findAll([&](const View& v) {
    auto t = v.displayText();
    // A field's text is what was typed, not a title: fields are found by placeholder.
    return t && *t == title && dynamic_cast<const Control*>(&v) != nullptr && dynamic_cast<const TextField*>(&v) == nullptr;
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
    reveal(*c);   // a user scrolls to the button first
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

Status Inspector::followLink(std::string_view text) {
  auto views = findAll([&](const View& v) {
    auto web = dynamic_cast<const WebView*>(&v);
    if (!web) return false;
    const auto& links = web->links();
    return std::any_of(links.begin(), links.end(), [&](const WebLink& l) { return l.text == text; });
  });
  if (views.empty()) return Status::error("no page on the screen has a link " + quoteText(text));
  if (views.size() > 1) return Status::error(std::to_string(views.size()) + " web views have a link " + quoteText(text));
  return followLink(static_cast<WebView&>(*views.front()), text);
}

Status Inspector::followLink(WebView& webView, std::string_view text) {
  layout();
  auto keep = webView.weak_from_this().lock();
  std::string name = "the link " + quoteText(text);
  std::optional<WebLink> link;
  for (const auto& l : webView.links()) {
    if (l.text != text) continue;
    if (link && link->href != l.href) return Status::error("links " + quoteText(text) + " lead to different addresses");
    link = l;
  }
  if (!link) return Status::error("the page has no link " + quoteText(text));
  reveal(webView);
  auto w = webView.window();
  if (!w || !w->isVisible() || !webView.isEffectivelyVisible()) return Status::error(name + " is not on the screen");
  if (!webView.isUserInteractionEnabled()) return Status::error(name + ": the web view takes no touches");
  Rect f = webView.frameInWindow();
  if (auto s = reaches(webView, Point{w->frame().x + f.midX(), w->frame().y + f.midY()}, name, true); !s.isOk()) {
    return s;
  }
  if (!webView.followLink(*link)) return Status::error(name + " was not followed");
  return Status::success();
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
  layout();
  std::string out;
  for (const auto& w : windows()) renderTree(*w, 0, out);
  return out;
}

void Inspector::reveal(View& view) {
  std::shared_ptr<View> inner = view.weak_from_this().lock();
  for (auto sup = view.superview(); sup; sup = sup->superview()) {
    auto scroll = std::dynamic_pointer_cast<ScrollView>(sup);
    if (!scroll || !scroll->isScrollEnabled()) continue;
    Rect target = view.frameInWindow();
    Rect port = scroll->frameInWindow();
    Point o = scroll->contentOffset();
    Rect inContent{target.x - port.x + o.x, target.y - port.y + o.y, target.width, target.height};
    Point next = scroll->offsetRevealing(inContent);
    if (next != o) scroll->scrollTo(next);
  }
}

Status Inspector::reaches(View& target, Point p, const std::string& name, bool allowControls) {
  auto hit = Window::hitTestScreen(p);
  if (!hit || !hit->isDescendantOf(target)) {
    return Status::error(name + " is covered: a touch at its centre reaches " + (hit ? hit->describe() : "nothing"));
  }
  if (!allowControls) {
    for (View* v = hit.get(); v && v != &target; v = v->superview().get()) {
      if (dynamic_cast<Control*>(v)) return Status::error(name + ": the touch reaches " + v->describe() + " inside it");
    }
  }
  return Status::success();
}

std::shared_ptr<TextField> Inspector::fieldByPlaceholder(std::string_view placeholder) const {
  return std::dynamic_pointer_cast<TextField>(find([&](const View& v) {
    auto f = dynamic_cast<const TextField*>(&v);
    return f && f->placeholder() == placeholder;
  }));
}

Status Inspector::type(std::string_view placeholder, std::string_view text) {
  auto all = findAll([&](const View& v) {
    auto f = dynamic_cast<const TextField*>(&v);
    return f && f->placeholder() == placeholder;
  });
  if (all.empty()) return Status::error("no text field with placeholder " + quoteText(placeholder) + " on the screen");
  if (all.size() > 1) {
    return Status::error(std::to_string(all.size()) + " text fields have placeholder " + quoteText(placeholder));
  }
  return type(static_cast<TextField&>(*all.front()), text);
}

Status Inspector::type(const std::function<bool(const TextField&)>& match, std::string_view text) {
  auto all = findAll([&](const View& v) {
    auto f = dynamic_cast<const TextField*>(&v);
    return f && match(*f);
  });
  if (all.empty()) return Status::error("no such text field on the screen");
  if (all.size() > 1) return Status::error(std::to_string(all.size()) + " text fields match");
  return type(static_cast<TextField&>(*all.front()), text);
}

Status Inspector::type(TextField& field, std::string_view text) {
  auto keep = field.weak_from_this().lock();
  std::string name = "the text field " + quoteText(field.placeholder().empty() ? field.text() : field.placeholder());
  if (!isValidUtf8(text)) return Status::error("the text to type into " + name + " is not UTF-8");
  if (!field.isEditing()) {
    if (auto s = tapControl(field); !s.isOk()) return s;
    if (!field.isEditing()) return Status::error(name + " did not begin editing");
  }
  size_t total = TextEditing::keystrokes(text)->size();
  size_t delivered = field.typeText(text);
  if (delivered < total) {
    return Status::error("the keyboard of " + name + " went away after " + std::to_string(delivered) + " of " +
                         std::to_string(total) + " characters");
  }
  return Status::success();
}

Status Inspector::type(TextView& view, std::string_view text) {
  layout();
  auto keep = view.weak_from_this().lock();
  if (!isValidUtf8(text)) return Status::error("the text to type is not UTF-8");
  if (!view.isEditing()) {
    reveal(view);
    auto w = view.window();
    if (!w || !w->isVisible() || !view.isEffectivelyVisible()) return Status::error("the text view is not on the screen");
    Rect f = view.frameInWindow();
    if (auto s = reaches(view, Point{w->frame().x + f.midX(), w->frame().y + f.midY()}, "the text view", true); !s.isOk()) {
      return s;
    }
    if (!view.tap()) return Status::error("the text view did not begin editing");
  }
  size_t total = TextEditing::keystrokes(text)->size();
  size_t delivered = view.typeText(text);
  if (delivered < total) {
    return Status::error("the keyboard went away after " + std::to_string(delivered) + " of " + std::to_string(total) +
                         " characters");
  }
  return Status::success();
}

Status Inspector::tapCell(int section, int row) {
  auto tables = findAll([](const View& v) { return dynamic_cast<const TableView*>(&v) != nullptr; });
  if (tables.empty()) return Status::error("no table on the screen");
  if (tables.size() > 1) return Status::error(std::to_string(tables.size()) + " tables on the screen");
  return tapCell(static_cast<TableView&>(*tables.front()), IndexPath{section, row});
}

Status Inspector::tapCell(TableView& table, IndexPath path) {
  layout();
  auto keep = table.weak_from_this().lock();
  std::string name = "the cell at " + std::to_string(path.section) + "," + std::to_string(path.row);
  auto cell = table.cellForRow(path);
  if (!cell) return Status::error("the table has no row " + std::to_string(path.row) + " in section " + std::to_string(path.section));
  if (!cell->isEffectivelyVisible()) return Status::error(name + " is hidden");
  reveal(*cell);
  auto w = cell->window();
  if (!w || !w->isVisible()) return Status::error(name + " is in no visible window");
  Rect f = cell->frameInWindow();
  Status last = Status::success();
  // The centre first; a control there (a button in the cell) would take the touch, so a user
  // touches the cell further left.
  for (double at : {0.5, 0.25, 0.05}) {
    Point p{w->frame().x + f.x + f.width * at, w->frame().y + f.midY()};
    last = reaches(*cell, p, name, false);
    if (last.isOk()) {
      table.tapRow(path);
      return Status::success();
    }
  }
  return last;
}

Status Inspector::tapCellWithText(std::string_view text) {
  auto views = findAll([&](const View& v) {
    auto t = v.displayText();
    return t && *t == text;
  });
  std::vector<std::shared_ptr<TableViewCell>> cells;
  for (const auto& v : views) {
    for (auto p = v; p; p = p->superview()) {
      if (auto c = std::dynamic_pointer_cast<TableViewCell>(p)) {
        if (std::find(cells.begin(), cells.end(), c) == cells.end()) cells.push_back(c);
        break;
      }
    }
  }
  if (cells.empty()) return Status::error("no cell shows " + quoteText(text));
  if (cells.size() > 1) return Status::error(std::to_string(cells.size()) + " cells show " + quoteText(text));
  auto table = cells.front()->tableView();
  auto path = cells.front()->indexPath();
  if (!table || !path) return Status::error("the cell showing " + quoteText(text) + " is in no table");
  return tapCell(*table, *path);
}

Status Inspector::pick(int column, int row) {
  auto pickers = findAll([](const View& v) { return dynamic_cast<const PickerView*>(&v) != nullptr; });
  if (pickers.empty()) return Status::error("no picker on the screen");
  if (pickers.size() > 1) return Status::error(std::to_string(pickers.size()) + " pickers on the screen");
  return pick(static_cast<PickerView&>(*pickers.front()), column, row);
}

Status Inspector::pick(PickerView& picker, int column, int row) {
  layout();
  auto keep = picker.weak_from_this().lock();
  if (column < 0 || column >= picker.numberOfComponents()) {
    return Status::error("the picker has no column " + std::to_string(column));
  }
  if (row < 0 || row >= picker.numberOfRows(column)) {
    return Status::error("column " + std::to_string(column) + " of the picker has no row " + std::to_string(row));
  }
  reveal(picker);
  auto w = picker.window();
  if (!w || !w->isVisible() || !picker.isEffectivelyVisible()) return Status::error("the picker is not on the screen");
  Rect f = picker.frameInWindow();
  if (auto s = reaches(picker, Point{w->frame().x + f.midX(), w->frame().y + f.midY()}, "the picker", true); !s.isOk()) {
    return s;
  }
  if (!picker.spinTo(row, column)) return Status::error("the picker takes no touches");
  return Status::success();
}

Status Inspector::tapSegment(std::string_view title) {
  auto controls = findAll([&](const View& v) {
    auto c = dynamic_cast<const SegmentedControl*>(&v);
    if (!c) return false;
    for (int i = 0; i < c->numberOfSegments(); ++i) {
      if (c->titleForSegment(i) == title) return true;
    }
    return false;
  });
  if (controls.empty()) return Status::error("no segment " + quoteText(title) + " on the screen");
  if (controls.size() > 1) return Status::error(std::to_string(controls.size()) + " segmented controls have " + quoteText(title));
  auto& control = static_cast<SegmentedControl&>(*controls.front());
  auto keep = control.weak_from_this().lock();
  int index = 0;
  while (control.titleForSegment(index) != title) ++index;
  std::string name = "the segment " + quoteText(title);
  if (!control.isEnabled() || !control.isEnabledForSegment(index)) return Status::error(name + " is disabled");
  reveal(control);
  auto w = control.window();
  if (!w || !w->isVisible()) return Status::error(name + " is in no visible window");
  Rect f = control.frameInWindow();
  Rect seg = control.segmentFrame(index);
  Point p{w->frame().x + f.x + seg.midX(), w->frame().y + f.y + seg.midY()};
  if (auto s = reaches(control, p, name, true); !s.isOk()) return s;
  if (!control.tapSegment(index)) return Status::error(name + " did not take the tap");
  return Status::success();
}

}  // namespace platform::ui
