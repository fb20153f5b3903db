#include "platform/ui/ActionSheet.h"

#include "platform/foundation/Process.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/MainThread.h"
#include "platform/ui/TextMetrics.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

struct SheetRegistry {
  std::vector<std::shared_ptr<ActionSheet>> shown;
};

constexpr double kPad = 20;
constexpr double kGap = 8;
constexpr double kButtonHeight = 44;
constexpr Font kTitleFont = Font::system(13);

}  // namespace

ActionSheet::ActionSheet(std::string title, std::optional<std::string> cancelTitle,
                         std::optional<std::string> destructiveTitle, std::vector<std::string> otherTitles)
    : title_(std::move(title)) {
  if (destructiveTitle) {
    hasDestructive_ = true;
    buttons_.push_back(std::move(*destructiveTitle));
  }
  for (auto& t : otherTitles) buttons_.push_back(std::move(t));
  if (cancelTitle) {
    hasCancel_ = true;
    buttons_.push_back(std::move(*cancelTitle));
  }
}

std::shared_ptr<ActionSheet> ActionSheet::create(std::string title, std::optional<std::string> cancelTitle,
                                                 std::optional<std::string> destructiveTitle,
                                                 std::vector<std::string> otherTitles) {
  return std::make_shared<ActionSheet>(std::move(title), std::move(cancelTitle), std::move(destructiveTitle),
                                       std::move(otherTitles));
}

std::string ActionSheet::buttonTitleAtIndex(int index) const {
  if (index < 0 || index >= numberOfButtons()) return {};
  return buttons_[static_cast<size_t>(index)];
}

std::optional<int> ActionSheet::indexOfButton(std::string_view title) const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i] == title) return static_cast<int>(i);
  }
  return std::nullopt;
}

void ActionSheet::layout(Rect host) {
  for (auto& sub : std::vector<std::shared_ptr<View>>(subviews())) sub->removeFromSuperview();
  setFrame(Rect{0, 0, host.width, host.height});
  const double inner = host.width - 2 * kPad;
  double titleHeight = title_.empty() ? 0 : TextMetrics::measure(title_, kTitleFont, Size{inner, 0}).height + kGap;
  double buttonsHeight = buttons_.empty() ? 0 : buttons_.size() * kButtonHeight + (buttons_.size() - 1) * kGap;
  double y = host.height - kPad - buttonsHeight - titleHeight;
  if (!title_.empty()) {
    auto label = Label::create(Rect{kPad, y, inner, titleHeight - kGap}, title_);
    label->setFont(kTitleFont);
    label->setTextAlignment(TextAlignment::Center);
    label->setNumberOfLines(0);
    addSubview(label);
    y += titleHeight;
  }
  std::weak_ptr<View> weak = weak_from_this();
  for (int i = 0; i < numberOfButtons(); ++i) {
    auto b = Button::create(Rect{kPad, y, inner, kButtonHeight}, ButtonType::RoundedRect);
    b->setTitle(buttons_[static_cast<size_t>(i)]);
    b->addTarget(nullptr, ControlEvent::TouchUpInside, [weak, i](Control&) {
      if (auto self = std::static_pointer_cast<ActionSheet>(weak.lock())) self->tap(i);
    });
    addSubview(b);
    y += kButtonHeight + kGap;
  }
}

void ActionSheet::showIn(View& view) {
  assertMainThread();
  auto self = std::static_pointer_cast<ActionSheet>(weak_from_this().lock());
  if (visible_ || !self) return;   // sheets are shared objects (create)
  std::shared_ptr<View> host = view.window();
  if (!host) host = view.weak_from_this().lock();
  if (!host) return;
  layout(host->bounds());
  visible_ = true;
  Process::current().shared<SheetRegistry>().shown.push_back(self);
  host->addSubview(self);
}

void ActionSheet::dismissWithClickedButtonIndex(int index, bool) {
  assertMainThread();
  if (!visible_) return;
  visible_ = false;
  auto self = std::static_pointer_cast<ActionSheet>(weak_from_this().lock());
  if (auto d = delegate_.lock()) d->actionSheetClickedButtonAtIndex(*this, index);
  if (auto f = onClicked_) f(*this, index);
  if (auto* reg = Process::current().sharedIfExists<SheetRegistry>()) std::erase(reg->shown, self);
  removeFromSuperview();
  if (auto d = delegate_.lock()) d->actionSheetDidDismissWithButtonIndex(*this, index);
  if (auto f = onDismissed_) f(*this, index);
}

std::vector<std::shared_ptr<ActionSheet>> ActionSheet::visible() {
  auto* reg = Process::current().sharedIfExists<SheetRegistry>();
  return reg ? reg->shown : std::vector<std::shared_ptr<ActionSheet>>{};
}

}  // namespace platform::ui
