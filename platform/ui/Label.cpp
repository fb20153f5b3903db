#include "platform/ui/Label.h"

namespace platform::ui {

Label::Label(Rect frame, std::string text) : View(frame), TextAppearance(Font::system(17)), text_(std::move(text)) {
  setUserInteractionEnabled(false);
}

std::shared_ptr<Label> Label::create(Rect frame, std::string text) {
  return std::make_shared<Label>(frame, std::move(text));
}

}  // namespace platform::ui
