#include "platform/ui/Button.h"

#include <algorithm>

#include "platform/ui/TextMetrics.h"

namespace platform::ui {

Button::Button(ButtonType type, Rect frame) : Control(frame), type_(type) {}

std::shared_ptr<Button> Button::create(ButtonType type) { return std::make_shared<Button>(type, Rect{}); }

std::shared_ptr<Button> Button::create(Rect frame, ButtonType type) { return std::make_shared<Button>(type, frame); }

void Button::setTitle(std::optional<std::string> title, ControlState state) { looks_[index(state)].title = std::move(title); }

void Button::setTitleColor(std::optional<Color> color, ControlState state) { looks_[index(state)].titleColor = color; }

void Button::setImage(std::optional<Image> image, ControlState state) { looks_[index(state)].image = std::move(image); }

void Button::setBackgroundImage(std::optional<Image> image, ControlState state) {
  looks_[index(state)].background = std::move(image);
}

std::string Button::currentTitle() const {
  const auto& t = pick(&Look::title);
  return t ? *t : std::string();
}

Color Button::currentTitleColor() const {
  const auto& c = pick(&Look::titleColor);
  if (c) return *c;
  return type_ == ButtonType::Custom ? Color::white() : Color::rgb255(50, 79, 133);
}

std::optional<Image> Button::currentImage() const { return pick(&Look::image); }

std::optional<Image> Button::currentBackgroundImage() const { return pick(&Look::background); }

void Button::sizeToFit() {
  Size title = TextMetrics::measure(currentTitle(), titleFont_);
  if (!currentTitle().empty()) title.height = titleFont_.lineHeight();
  Size picture;
  if (auto img = currentImage()) picture = img->size;
  double width = picture.width + title.width;
  double height = std::max(picture.height, title.height);
  if (auto bg = currentBackgroundImage()) {
    width = std::max(width, bg->size.width);
    height = std::max(height, bg->size.height);
  }
  Rect f = frame();
  f.width = width;
  f.height = height;
  setFrame(f);
}

std::optional<std::string> Button::displayText() const {
  std::string t = currentTitle();
  if (t.empty()) return std::nullopt;
  return t;
}

void Button::describeExtras(std::string& out) const {
  if (auto img = currentImage(); img && !img->name.empty()) {
    out += " image=" + img->name;
  } else if (auto bg = currentBackgroundImage(); bg && !bg->name.empty() && currentTitle().empty()) {
    out += " background=" + bg->name;
  }
  Control::describeExtras(out);
}

}  // namespace platform::ui
