// The keyboard: while a responder that takes text (a text field, an editable text view) is the
// first responder of the key window (else of the top-most visible window), its input views lie
// at the bottom of the screen in the keyboard window, a window of level WindowLevel::Keyboard
// above the application's windows and below alerts:
//
//   - the input view: the responder's custom keyboard (inputView()) at its own height, or else the
//     system keyboard, a Keyboard view kHeight points high showing the responder's keyboard type;
//   - the accessory view (inputAccessoryView()), when there is one, right above it;
//   - both take the screen's width; the window is exactly as tall as the two together, so it
//     covers (and takes the touches of) what lies under it, and nothing else.
//
// The keyboard window is made on first use and then kept for the run, hidden while no responder
// takes text (so Window::all() counts it from then on, as the platform's keyboard window is
// counted). The keys of a custom keyboard are ordinary controls a test taps through the
// Inspector; the system keyboard has no keys: a simulated user types through TextField::typeText
// and friends, which is the path the system keyboard takes.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/TextInputTraits.h"
#include "platform/ui/View.h"

namespace platform::ui {

class Window;

class Keyboard : public View {
 public:
  static constexpr double kHeight = 216;

  explicit Keyboard(Rect frame = {});

  KeyboardType keyboardType() const { return type_; }
  void setKeyboardType(KeyboardType type) { type_ = type; }
  ReturnKeyType returnKeyType() const { return returnKey_; }
  void setReturnKeyType(ReturnKeyType type) { returnKey_ = type; }

  std::string kind() const override { return "Keyboard"; }

  // --- the keyboard of the process ---
  // Shows, changes or hides the keyboard to follow the first responder (the responder chain and
  // the text views call it; screens need not).
  static void update();
  static bool isVisible();
  // The responder the keyboard serves, or nothing.
  static std::shared_ptr<View> responder();
  // What lies at the bottom of the screen now: the custom input view or the system keyboard.
  static std::shared_ptr<View> activeInputView();
  static std::shared_ptr<View> accessoryView();
  // The system keyboard view (made on first use; shown only while a responder uses it).
  static std::shared_ptr<Keyboard> system();
  // What an editing responder with these traits shows: its own input view when it has one, else
  // the system keyboard set to its keyboard and return-key types.
  static std::shared_ptr<View> inputViewFor(const TextInputTraits& traits,
                                            const std::shared_ptr<View>& customInputView);
  // The keyboard window, or nothing before the first keyboard was shown.
  static std::shared_ptr<Window> window();
  // The screen rectangle the keyboard and its accessory cover; empty while hidden.
  static Rect frameOnScreen();

 protected:
  void describeExtras(std::string& out) const override;

 private:
  KeyboardType type_ = KeyboardType::Default;
  ReturnKeyType returnKey_ = ReturnKeyType::Default;
};

}  // namespace platform::ui
