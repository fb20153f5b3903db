#include "platform/ui/AlertView.h"

#include <algorithm>

#include "platform/foundation/Process.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMetrics.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

// The alerts shown and the window they are in (while there is any).
struct AlertRegistry {
  std::vector<std::shared_ptr<AlertView>> shown;
  std::shared_ptr<Window> window;
};

AlertRegistry& alerts() { return Process::current().shared<AlertRegistry>(); }

constexpr double kPad = 16;
constexpr double kGap = 8;
constexpr double kButtonHeight = 44;
constexpr Font kTitleFont = Font::boldSystem(18);
constexpr Font kMessageFont = Font::system(16);

}  // namespace

AlertView::AlertView(std::string title, std::string message, std::optional<std::string> cancelTitle,
                     std::vector<std::string> otherTitles)
    : title_(std::move(title)), message_(std::move(message)) {
  if (cancelTitle) {
    hasCancel_ = true;
    buttons_.push_back(std::move(*cancelTitle));
  }
  for (auto& t : otherTitles) buttons_.push_back(std::move(t));
}

std::shared_ptr<AlertView> AlertView::create(std::string title, std::string message,
                                             std::optional<std::string> cancelTitle,
                                             std::vector<std::string> otherTitles) {
  return std::make_shared<AlertView>(std::move(title), std::move(message), std::move(cancelTitle),
                                     std::move(otherTitles));
}

int AlertView::addButton(std::string title) {
  buttons_.push_back(std::move(title));
  return numberOfButtons() - 1;
}

std::string AlertView::buttonTitleAtIndex(int index) const {
  if (index < 0 || index >= numberOfButtons()) return {};
  return buttons_[static_cast<size_t>(index)];
}

std::optional<int> AlertView::indexOfButton(std::string_view title) const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i] == title) return static_cast<int>(i);
  }
  return std::nullopt;
}

void AlertView::setButtonCallback(int index, std::function<void()> callback) {
  if (callback) {
    buttonCallbacks_[index] = std::move(callback);
  } else {
    buttonCallbacks_.erase(index);
  }
}

void AlertView::layout() {
  for (auto& sub : std::vector<std::shared_ptr<View>>(subviews())) sub->removeFromSuperview();
  const double inner = kWidth - 2 * kPad;
  double y = kPad;
  if (!title_.empty()) {
    Size s = TextMetrics::measure(title_, kTitleFont, Size{inner, 0});
    auto label = Label::create(Rect{kPad, y, inner, s.height}, title_);
    label->setFont(kTitleFont);
    label->setTextColor(Color::white());
    label->setTextAlignment(TextAlignment::Center);
    label->setNumberOfLines(0);
    addSubview(label);
    y += s.height + kGap;
  }
  if (!message_.empty()) {
    Size s = TextMetrics::measure(message_, kMessageFont, Size{inner, 0});
    auto label = Label::create(Rect{kPad, y, inner, s.height}, message_);
    label->setFont(kMessageFont);
    label->setTextColor(Color::white());
    label->setTextAlignment(TextAlignment::Center);
    label->setNumberOfLines(0);
    addSubview(label);
    y += s.height + kGap;
  }
  y += kGap;
  std::weak_ptr<View> weak = weak_from_this();
  auto addButtonView = [&](int index, Rect frame) {
    auto b = Button::create(frame, ButtonType::RoundedRect);
    b->setTitle(buttons_[static_cast<size_t>(index)]);
    b->addTarget(nullptr, ControlEvent::TouchUpInside, [weak, index](Control&) {
      if (auto self = std::static_pointer_cast<AlertView>(weak.lock())) self->dismissWithClickedButtonIndex(index, true);
    });
    addSubview(b);
  };
  int n = numberOfButtons();
  if (n > 0 && n <= 2) {
    double w = (inner - kGap * (n - 1)) / n;
    for (int i = 0; i < n; ++i) addButtonView(i, Rect{kPad + i * (w + kGap), y, w, kButtonHeight});
    y += kButtonHeight;
  } else if (n > 2) {
    for (int i = 0; i < n; ++i) {
      addButtonView(i, Rect{kPad, y, inner, kButtonHeight});
      y += kButtonHeight + (i + 1 < n ? kGap : 0);
    }
  }
  double height = y + kPad;
  Rect screen = Screen::bounds();
  setFrame(Rect{(screen.width - kWidth) / 2, std::round((screen.height - height) / 2), kWidth, height});
}

void AlertView::show() {
  assertMainThread();
  auto self = std::static_pointer_cast<AlertView>(weak_from_this().lock());
  if (visible_ || !self) return;   // alerts are shared objects (create)
  AlertRegistry& reg = alerts();
  if (!reg.window) {
    reg.window = Window::create(Screen::bounds());
    reg.window->setWindowLevel(WindowLevel::Alert);
    reg.window->setBackgroundColor(Color::black().withAlpha(0.4));
  }
  layout();
  for (auto& older : reg.shown) older->setHidden(true);
  visible_ = true;
  setHidden(false);
  reg.shown.push_back(self);
  reg.window->addSubview(self);
  reg.window->setHidden(false);
}

void AlertView::dismissWithClickedButtonIndex(int index, bool animated) {
  assertMainThread();
  if (!visible_) return;
  visible_ = false;
  auto self = std::static_pointer_cast<AlertView>(weak_from_this().lock());

  if (auto d = delegate_.lock()) d->alertViewClickedButtonAtIndex(*this, index);
  if (auto f = onClicked_) f(*this, index);
  if (auto it = buttonCallbacks_.find(index); it != buttonCallbacks_.end()) {
    auto f = it->second;
    f();
  }

  AlertRegistry& reg = alerts();
  std::erase(reg.shown, self);
  removeFromSuperview();
  if (!reg.shown.empty()) {
    reg.shown.back()->setHidden(false);
  } else if (reg.window) {
    auto window = std::move(reg.window);
    reg.window.reset();
    window->setHidden(true);
  }

  if (auto d = delegate_.lock()) d->alertViewDidDismissWithButtonIndex(*this, index);
  if (auto f = onDismissed_) f(*this, index);
}

std::vector<std::shared_ptr<AlertView>> AlertView::visible() {
  auto* reg = Process::current().sharedIfExists<AlertRegistry>();
  return reg ? reg->shown : std::vector<std::shared_ptr<AlertView>>{};
}

std::shared_ptr<AlertView> AlertView::top() {
  auto list = visible();
  return list.empty() ? nullptr : list.back();
}

void AlertView::dismissAll() {
  for (auto& alert : visible()) alert->dismissWithClickedButtonIndex(0, false);
}

}  // namespace platform::ui
