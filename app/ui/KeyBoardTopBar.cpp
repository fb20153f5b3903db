#include "app/ui/KeyBoardTopBar.h"

#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::ui::BarButtonItem;
using platform::ui::Rect;

KeyBoardTopBar::KeyBoardTopBar(Rect frame) : Toolbar(frame) {}

std::shared_ptr<KeyBoardTopBar> KeyBoardTopBar::create(Rect frame, std::string words) {
  auto bar = std::make_shared<KeyBoardTopBar>(frame);
  std::weak_ptr<KeyBoardTopBar> weak = bar;
  bar->setBarStyle(platform::ui::BarStyle::BlackTranslucent);
  bar->setTranslucent(true);
  bar->setItems({BarButtonItem::withSystemItem(platform::ui::BarButtonSystemItem::FlexibleSpace),
                 BarButtonItem::withTitle(std::move(words), platform::ui::BarButtonItemStyle::Done,
                                          [weak](BarButtonItem&) {
                                            if (auto b = weak.lock()) b->hiddenKeyBoard();
                                          })});
  return bar;
}

void KeyBoardTopBar::showBar(const std::shared_ptr<platform::ui::TextField>& field) {
  currentField_ = field;
  const double width = platform::ui::Screen::bounds().width;
  platform::ui::animate(kSlideSeconds, [this, width] { setFrame(Rect{0, kShownY, width, kShownHeight}); });
}

void KeyBoardTopBar::hiddenKeyBoard() {
  if (auto field = currentField_.lock(); field && field->isFirstResponder()) field->resignFirstResponder();
  const double bottom = platform::ui::Screen::bounds().height;
  platform::ui::animate(kSlideSeconds, [this, bottom] {
    Rect f = frame();
    f.y = bottom;
    setFrame(f);
  });
}

}  // namespace nvx
