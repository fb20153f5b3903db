// The editing part that TextField and TextView share: the text and its caret, the keyboard
// traits and input views, and the keystrokes of a simulated user.
//
// The view that holds it (its owner, a view that is also an EditableText) decides the rest: it
// asks its own delegate whether a change may be made (allowsChange) and tells of an accepted one
// (textDidChange), in its own order of calls (see TextField.h). A change replaces a range given
// in UTF-16 units: the caret as an empty range for an insertion, the character before the caret
// for a backward delete (2 units for an emoji outside the basic plane). A change the owner
// refuses changes nothing; the owner's delegate may have set the text itself meanwhile, and a
// range that then no longer fits is dropped. An accepted change puts the caret after the
// replacement.
//
// A secure entry (secureTextEntry in the traits): the first change after editing began over a
// text replaces the whole text, as on the phone.
#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Text16.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextInputTraits.h"

namespace platform::ui {

class View;

// The delegate's yes or no: yes when there is no delegate or it gives no answer (it does not
// implement the question).
template <class Delegate, class Owner, class... Params, class... Args>
bool delegateAgrees(const std::weak_ptr<Delegate>& delegate, std::optional<bool> (Delegate::*question)(Owner&, Params...),
                    Owner& owner, Args&&... args) {
  auto d = delegate.lock();
  return !d || ((*d).*question)(owner, std::forward<Args>(args)...).value_or(true);
}

class EditableText : public TextAppearance {
 public:
  const std::string& text() const { return text_; }
  // A program's change: the caret goes to the end; nobody is asked or told (the owner may run
  // its own observers).
  void setText(std::string text);
  bool hasText() const { return !text_.empty(); }

  // --- keyboard ---
  // Changing the keyboard or return key type, or the custom views, while editing changes what
  // the keyboard shows at once.
  KeyboardType keyboardType() const { return traits_.keyboardType; }
  void setKeyboardType(KeyboardType type);
  ReturnKeyType returnKeyType() const { return traits_.returnKeyType; }
  void setReturnKeyType(ReturnKeyType type);
  TextAutocapitalization autocapitalizationType() const { return traits_.autocapitalization; }
  void setAutocapitalizationType(TextAutocapitalization t) { traits_.autocapitalization = t; }
  TextAutocorrection autocorrectionType() const { return traits_.autocorrection; }
  void setAutocorrectionType(TextAutocorrection t) { traits_.autocorrection = t; }
  // Custom keyboard and accessory (nothing: the system keyboard, no accessory).
  void setInputView(std::shared_ptr<View> view);
  void setInputAccessoryView(std::shared_ptr<View> view);
  // While editing: the custom input view, or the system keyboard (a Keyboard view of the
  // keyboard type); nothing while not editing.
  std::shared_ptr<View> activeInputView() const;

  // --- editing ---
  // Editing is being the first responder.
  bool isEditing() const;
  // The caret in UTF-16 units (at most the text's length).
  size_t caret16() const { return caret16_; }
  void setCaret16(size_t position);

  // --- a simulated user ---
  // Types the text one character (code point) at a time, beginning editing first when needed;
  // where the owner has a return key, "\n" presses it. Typing stops when editing stops (the
  // keyboard went away). Returns the number of characters that reached the keyboard, each of
  // them accepted or refused. Text that is not UTF-8 is typed not at all (0).
  size_t typeText(std::string_view text);
  // A paste at the caret: one change for the whole text. False when refused, when not editing
  // or the text is not UTF-8.
  bool paste(std::string_view text);
  // The keyboard's insertion (custom keypads call it): one change for the whole text; where the
  // owner has a return key, "\n" alone presses it. False when refused.
  bool insertText(std::string_view text);
  // The delete key: the character before the caret. False when there is none or it is refused.
  bool deleteBackward();

 protected:
  // owner: the view that is this EditableText; it outlives it (it is the same object).
  EditableText(View& owner, Font font);
  virtual ~EditableText() = default;

  const TextInputTraits& traits() const { return traits_; }
  TextInputTraits& traits() { return traits_; }
  const std::shared_ptr<View>& customInputView() const { return inputView_; }
  const std::shared_ptr<View>& customAccessoryView() const { return accessoryView_; }

  // The text's part of beginning to edit (clearing first when asked): the caret goes to the end
  // and a secure entry over a text starts over with its next change.
  void beginEditingText(bool clearFirst);
  void endEditingText() { replacesOnNextChange_ = false; }
  // Empties the text without asking or telling anyone (the owner does both).
  void clearText();

 private:
  // Asks the owner's delegate about a change (range in UTF-16 units).
  virtual bool allowsChange(Range16 range, const std::string& replacement) = 0;
  // Tells of an accepted change.
  virtual void textDidChange() = 0;
  // "\n" typed or inserted alone: the return key's answer, or nothing where there is no return
  // key ("\n" is then a character like any other).
  virtual std::optional<bool> pressReturnKey() { return std::nullopt; }
  // After every setText.
  virtual void textWasSet() {}

  bool change(Range16 range, std::string replacement);
  Range16 insertionRange() const;

  View& owner_;
  std::string text_;
  size_t caret16_ = 0;
  bool replacesOnNextChange_ = false;   // a secure entry's first change after editing began
  TextInputTraits traits_;
  std::shared_ptr<View> inputView_;
  std::shared_ptr<View> accessoryView_;
};

}  // namespace platform::ui
