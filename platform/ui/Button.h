// A push button: title, title colour, picture and background picture per control state; a look
// missing for the current state falls back to the Normal one.
#pragma once
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Color.h"
#include "platform/ui/Control.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"

namespace platform::ui {

enum class ButtonType { Custom, RoundedRect };

class Button : public Control {
 public:
  explicit Button(ButtonType type = ButtonType::Custom, Rect frame = {});
  static std::shared_ptr<Button> create(ButtonType type = ButtonType::Custom);
  static std::shared_ptr<Button> create(Rect frame, ButtonType type = ButtonType::Custom);

  ButtonType buttonType() const { return type_; }

  // A look set for one state (nothing set: the state uses Normal's).
  void setTitle(std::optional<std::string> title, ControlState state = ControlState::Normal);
  void setTitleColor(std::optional<Color> color, ControlState state = ControlState::Normal);
  void setImage(std::optional<Image> image, ControlState state = ControlState::Normal);
  void setBackgroundImage(std::optional<Image> image, ControlState state = ControlState::Normal);
  const std::optional<std::string>& title(ControlState state) const { return looks_[index(state)].title; }
  const std::optional<Color>& titleColor(ControlState state) const { return looks_[index(state)].titleColor; }
  const std::optional<Image>& image(ControlState state) const { return looks_[index(state)].image; }
  const std::optional<Image>& backgroundImage(ControlState state) const { return looks_[index(state)].background; }

  // The looks of the current state (Control::state()), with the fallback to Normal.
  std::string currentTitle() const;   // empty when there is none
  // Default: white for a custom button, the platform's blue for a rounded one.
  Color currentTitleColor() const;
  std::optional<Image> currentImage() const;
  std::optional<Image> currentBackgroundImage() const;

  // Default: bold system font of 15 points.
  const Font& titleFont() const { return titleFont_; }
  void setTitleFont(Font font) { titleFont_ = font; }

  // Resizes to the content of the current state, keeping the origin: width = picture width +
  // title width (one line), height = the larger of picture height and title line height; at
  // least the background picture's size.
  void sizeToFit();

  std::string kind() const override { return "Button"; }
  std::optional<std::string> displayText() const override;

 protected:
  void describeExtras(std::string& out) const override;

 private:
  struct Look {
    std::optional<std::string> title;
    std::optional<Color> titleColor;
    std::optional<Image> image;
    std::optional<Image> background;
  };
  static size_t index(ControlState s) { return static_cast<size_t>(s); }
  template <class T>
  const std::optional<T>& pick(std::optional<T> Look::*field) const {
    const auto& own = looks_[index(state())].*field;
    return own ? own : looks_[index(ControlState::Normal)].*field;
  }

  ButtonType type_;
  std::array<Look, 4> looks_;
  Font titleFont_ = Font::boldSystem(15);
};

}  // namespace platform::ui
