// A bar with one button that closes the keyboard of the field it was shown for. The form that
// uses it adds it to its view and shows it when a field begins editing.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"

namespace nvx {

class KeyBoardTopBar : public platform::ui::Toolbar {
 public:
  static constexpr double kShownY = 160;
  static constexpr double kShownHeight = 40;
  static constexpr double kSlideSeconds = 0.3;

  explicit KeyBoardTopBar(platform::ui::Rect frame);
  // A black translucent bar: a flexible space, then a button titled words (done style) that
  // runs hiddenKeyBoard.
  static std::shared_ptr<KeyBoardTopBar> create(platform::ui::Rect frame, std::string words);

  // Keeps the field and slides the bar to (0, 160, screen width, 40).
  void showBar(const std::shared_ptr<platform::ui::TextField>& field);
  // The kept field resigns when it is the first responder; the bar slides below the screen,
  // keeping its size.
  void hiddenKeyBoard();

  // Not owned.
  std::shared_ptr<platform::ui::TextField> currentField() const { return currentField_.lock(); }

  std::string kind() const override { return "KeyBoardTopBar"; }

 private:
  std::weak_ptr<platform::ui::TextField> currentField_;
};

}  // namespace nvx
