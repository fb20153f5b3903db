// The amount and card-number keypad: 320 x 216, drawn from pictures, attached to one text field
// whose input view it becomes. It types into the field (through the field's keyboard insertion,
// so every key passes the field's filter) and, in the amount style, keeps the money format while
// the user types. The keys stand in the same places every time (no shuffling):
//
//   y 13    1   2   3    delete
//   y 63    4   5   6    clear
//   y 113   7   8   9    hide      (hide spans the last two rows, 90 high)
//   y 163   .   0   00             (x 15, 94, 173, 252; keys 64 x 40)
//
// Key tags: the digit for 0 to 9, 102 delete, 103 hide, 104 "00", 105 ".", 106 clear. In the
// card-number style "." and "00" are disabled.
//
// Attaching takes the field over for good: the keypad becomes its input view and its delegate
// (the field's earlier delegate is kept and asked in turn) and listens to all of its events.
// The keypad holds neither the field nor the earlier delegate: the screen that owns the field
// owns both, and the field holds the keypad as its input view.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"

namespace nvx {

class NVXSafeKeyboardView : public platform::ui::View, public platform::ui::TextFieldDelegate {
 public:
  // skeyStly values.
  static constexpr int kAmountStyle = 0;
  static constexpr int kCardNumberStyle = 1;

  static constexpr int kDeleteTag = 102;
  static constexpr int kHideTag = 103;
  static constexpr int kDoubleZeroTag = 104;
  static constexpr int kDotTag = 105;
  static constexpr int kClearTag = 106;

  explicit NVXSafeKeyboardView(platform::ui::Rect frame) : View(frame) {}

  // The keypad at (0, 0, 320, 216), attached to the field.
  static std::shared_ptr<NVXSafeKeyboardView> numberPadWithInputField(
      const std::shared_ptr<platform::ui::TextField>& field, int keyBoardStly);
  static std::shared_ptr<NVXSafeKeyboardView> create(platform::ui::Rect frame,
                                                     const std::shared_ptr<platform::ui::TextField>& field,
                                                     int keyBoardStly);

  // --- keys ---
  // The action of every key: reads the key's tag.
  void buttonPressed(const platform::ui::Control& key);
  // "." at the caret unless the text has one; a point put in before other digits makes the
  // amount two-decimal at once ("1234" with the caret after the 3 gives "123.40").
  void insertDot();
  // Removes the character before the caret (the delete key's way when a field cannot delete
  // backward itself).
  void deleteBack();
  // Closes the keypad when the field's earlier delegate agrees to return (or has no opinion).
  void done();
  // The field's text holds ".".
  bool isExistDot() const;

  // Runs on every event of the field. Card-number style: at most 32 characters. Amount style,
  // in order: at most two decimals; a lone "." is cleared; leading zeros go ("05" -> "5",
  // "00" -> "0", "00.5" -> "0.5"); a value printed "%.2f" above 100,000,000 keeps the first 8
  // characters of that print.
  void valuechange();

  // The keypad's own answers while it is the field's delegate (the earlier delegate's answer
  // when it gives one, else yes).
  bool textFieldShouldBeginEditing(platform::ui::TextField& field);
  void textFieldDidBeginEditing(platform::ui::TextField& field);
  bool textFieldShouldEndEditing(platform::ui::TextField& field);
  // Amount style: the text becomes two-decimal first; then the earlier delegate hears of it.
  void textFieldDidEndEditing(platform::ui::TextField& field);
  bool textFieldShouldReturn(platform::ui::TextField& field);
  bool textFieldShouldClear(platform::ui::TextField& field);
  // Keystrokes are never forwarded: the card-number filter (card-number style) or the money
  // filter (amount style) decides.
  bool textFieldShouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                       const std::string& replacement);

  // Key clicks are played while the keypad shows.
  bool enableInputClicksWhenVisible() const { return true; }

  int skeyStly() const { return skeyStly_; }
  void setSkeyStly(int style) { skeyStly_ = style; }
  std::shared_ptr<platform::ui::TextField> textField() const { return textField_.lock(); }
  // Keeps the field (not owned) and becomes its input view.
  void setTextField(const std::shared_ptr<platform::ui::TextField>& field);
  // The field's delegate from before the keypad took the field over.
  std::shared_ptr<platform::ui::TextFieldDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }
  // Keys always go to the field: the getter answers the field whatever was set.
  std::shared_ptr<platform::ui::View> inputDelegate() const { return textField(); }
  void setInputDelegate(std::weak_ptr<platform::ui::View> inputDelegate) { inputDelegate_ = std::move(inputDelegate); }

  // --- platform::ui::TextFieldDelegate ---
  std::optional<bool> shouldBeginEditing(platform::ui::TextField& field) override {
    return textFieldShouldBeginEditing(field);
  }
  void didBeginEditing(platform::ui::TextField& field) override { textFieldDidBeginEditing(field); }
  std::optional<bool> shouldEndEditing(platform::ui::TextField& field) override {
    return textFieldShouldEndEditing(field);
  }
  void didEndEditing(platform::ui::TextField& field) override { textFieldDidEndEditing(field); }
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override {
    return textFieldShouldChangeCharacters(field, range, replacement);
  }
  std::optional<bool> shouldClear(platform::ui::TextField& field) override { return textFieldShouldClear(field); }
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override { return textFieldShouldReturn(field); }

 private:
  void build(const std::shared_ptr<platform::ui::TextField>& field);
  void insert(const std::string& text);

  int skeyStly_ = kAmountStyle;
  std::weak_ptr<platform::ui::TextField> textField_;
  std::weak_ptr<platform::ui::TextFieldDelegate> delegate_;
  std::weak_ptr<platform::ui::View> inputDelegate_;
};

}  // namespace nvx
