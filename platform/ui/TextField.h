// A one-line text field, driven by a simulated user exactly as the phone's keyboard drives it.
//
// Editing: the field edits while it is the first responder. becomeFirstResponder (or a tap)
// asks the delegate's shouldBeginEditing (no answer = yes); then the field that was editing ends
// (shouldEndEditing, didEndEditing, EditingDidEnd: it may refuse, and then nothing changes); then
// this field begins: the caret goes to the end of the text, the keyboard shows, didBeginEditing,
// the EditingDidBegin actions and kTextDidBeginEditingNotification follow. resignFirstResponder
// asks shouldEndEditing, then didEndEditing, the EditingDidEnd actions and
// kTextDidEndEditingNotification follow and the keyboard goes. A field leaving its window or
// hidden ends editing without being asked.
//
// Keystrokes: every change a user makes (a typed character, a paste, a custom keypad's
// insertText, a backward delete) asks the delegate's shouldChangeCharacters(field, range,
// replacement) with the range in UTF-16 units (the caret as an empty range for an insertion,
// the character before the caret for a delete: 2 units for an emoji outside the basic plane).
// No answer = yes. A refused change changes nothing (the delegate may set the text itself; the
// caret then goes to the end, as with every setText). An accepted change replaces the range,
// puts the caret after the replacement, then sends the EditingChanged actions and posts
// kTextDidChangeNotification (the field as sender). setText (a program's change) asks nobody,
// sends no action and posts nothing; it runs the text observers instead.
//
// A secure field (secureTextEntry) shows one "•" per character. As on the phone, the first
// change after a secure field begins editing with a text replaces the whole text (its range is
// the whole text): typing starts over, a backward delete empties the field.
//
// maxLength is not a feature of the platform's field: screens limit lengths in their delegate.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Text16.h"
#include "platform/ui/Control.h"
#include "platform/ui/EditableText.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"

namespace platform::ui {

class TextField;

// Optional answers: std::nullopt means "the delegate does not implement it" (the field then
// goes ahead as if the answer were yes).
class TextFieldDelegate {
 public:
  virtual ~TextFieldDelegate() = default;
  virtual std::optional<bool> shouldBeginEditing(TextField&) { return std::nullopt; }
  virtual void didBeginEditing(TextField&) {}
  virtual std::optional<bool> shouldEndEditing(TextField&) { return std::nullopt; }
  virtual void didEndEditing(TextField&) {}
  virtual std::optional<bool> shouldChangeCharacters(TextField&, Range16 range, const std::string& replacement) {
    return std::nullopt;
  }
  virtual std::optional<bool> shouldClear(TextField&) { return std::nullopt; }
  virtual std::optional<bool> shouldReturn(TextField&) { return std::nullopt; }
};

enum class TextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };
enum class TextBorderStyle { None, Line, Bezel, RoundedRect };
enum class ContentVerticalAlignment { Center, Top, Bottom, Fill };

// The text, caret, keyboard and keystrokes are EditableText's; here "\n" presses the return key
// (tapReturn).
class TextField : public Control, public EditableText {
 public:
  static constexpr const char* kTextDidBeginEditingNotification = "TextFieldTextDidBeginEditingNotification";
  static constexpr const char* kTextDidChangeNotification = "TextFieldTextDidChangeNotification";
  static constexpr const char* kTextDidEndEditingNotification = "TextFieldTextDidEndEditingNotification";

  using TextObserver = std::function<void(TextField&)>;

  explicit TextField(Rect frame = {});
  static std::shared_ptr<TextField> create(Rect frame = {});

  // --- text and look ---
  // setText (EditableText's, a program's change) runs the text observers (also when the text is
  // the same); no action, no notification, no delegate call. Default font: the system font of
  // 12 points.
  const std::string& placeholder() const { return placeholder_; }
  void setPlaceholder(std::string text) { placeholder_ = std::move(text); }
  ContentVerticalAlignment contentVerticalAlignment() const { return verticalAlignment_; }
  void setContentVerticalAlignment(ContentVerticalAlignment a) { verticalAlignment_ = a; }
  TextBorderStyle borderStyle() const { return borderStyle_; }
  void setBorderStyle(TextBorderStyle s) { borderStyle_ = s; }
  const std::optional<Image>& background() const { return background_; }
  void setBackground(std::optional<Image> image) { background_ = std::move(image); }
  const std::optional<Image>& disabledBackground() const { return disabledBackground_; }
  void setDisabledBackground(std::optional<Image> image) { disabledBackground_ = std::move(image); }
  // Stored only (screens fit fonts themselves).
  bool adjustsFontSizeToFitWidth() const { return adjustsFont_; }
  void setAdjustsFontSizeToFitWidth(bool on) { adjustsFont_ = on; }
  double minimumFontSize() const { return minimumFontSize_; }
  void setMinimumFontSize(double size) { minimumFontSize_ = size; }

  // The clear button ("x" at the right end) and the side views, each shown per its mode.
  TextFieldViewMode clearButtonMode() const { return clearMode_; }
  void setClearButtonMode(TextFieldViewMode mode) { clearMode_ = mode; }
  // Shown now: by the mode, and only over a text that is not empty.
  bool isClearButtonShown() const;
  bool clearsOnBeginEditing() const { return clearsOnBegin_; }
  void setClearsOnBeginEditing(bool on) { clearsOnBegin_ = on; }
  // A side view lies at the field's left (right) edge, centred vertically, at its own size, and
  // is a subview only while its mode shows it.
  const std::shared_ptr<View>& leftView() const { return leftView_; }
  void setLeftView(std::shared_ptr<View> view);
  TextFieldViewMode leftViewMode() const { return leftMode_; }
  void setLeftViewMode(TextFieldViewMode mode);
  const std::shared_ptr<View>& rightView() const { return rightView_; }
  void setRightView(std::shared_ptr<View> view);
  TextFieldViewMode rightViewMode() const { return rightMode_; }
  void setRightViewMode(TextFieldViewMode mode);

  // --- keyboard (the rest is EditableText's) ---
  KeyboardAppearance keyboardAppearance() const { return traits().keyboardAppearance; }
  void setKeyboardAppearance(KeyboardAppearance a) { traits().keyboardAppearance = a; }
  bool isSecureTextEntry() const { return traits().secureTextEntry; }
  void setSecureTextEntry(bool on) { traits().secureTextEntry = on; }
  bool enablesReturnKeyAutomatically() const { return traits().enablesReturnKeyAutomatically; }
  void setEnablesReturnKeyAutomatically(bool on) { traits().enablesReturnKeyAutomatically = on; }
  const TextInputTraits* textInputTraits() const override { return &traits(); }
  std::shared_ptr<View> inputView() const override { return customInputView(); }
  std::shared_ptr<View> inputAccessoryView() const override { return customAccessoryView(); }

  // --- the application's own data ---
  // An input type the application keeps on the field (0 when never set).
  int inputType() const { return inputType_; }
  void setInputType(int type) { inputType_ = type; }

  // --- delegate and observers ---
  std::shared_ptr<TextFieldDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }
  // Runs after every setText (a program's change of the text), in the order added.
  void addTextObserver(const void* owner, TextObserver observer);
  void removeTextObservers(const void* owner);

  // --- editing (isEditing, the caret and the keystrokes are EditableText's) ---
  bool canBecomeFirstResponder() const override { return isEnabled(); }

  // --- a simulated user ---
  // A finger on the field: touch down, the field begins editing, touch up inside. False when the
  // field takes no touches or refuses to begin.
  bool tap() override;
  // The clear button: refused when it is not shown; else (beginning editing when needed) asks
  // shouldClear; on yes the text is emptied, the EditingChanged actions run and
  // kTextDidChangeNotification is posted. True when cleared.
  bool tapClear();
  // The return key, while editing: asks shouldReturn (no answer = yes); on yes the
  // EditingDidEndOnExit actions run and, when there is any, the field resigns. The answer.
  bool tapReturn();

  std::string kind() const override { return "TextField"; }
  // The text (one "•" per character when secure); nothing while the text is empty.
  std::optional<std::string> displayText() const override;
  void setFrame(Rect frame) override;

 protected:
  void describeExtras(std::string& out) const override;
  bool willBecomeFirstResponder() override;
  bool willResignFirstResponder() override;
  void didBecomeFirstResponder() override;
  void didResignFirstResponder() override;

 private:
  bool allowsChange(Range16 range, const std::string& replacement) override;
  // EditingChanged actions, then kTextDidChangeNotification.
  void textDidChange() override;
  std::optional<bool> pressReturnKey() override { return tapReturn(); }
  void textWasSet() override;
  // Takes the old side view out (when it is not the new one) and places the new one.
  void replaceSideView(std::shared_ptr<View>& side, std::shared_ptr<View> view);
  void layoutSideViews();

  std::string placeholder_;
  ContentVerticalAlignment verticalAlignment_ = ContentVerticalAlignment::Top;
  TextBorderStyle borderStyle_ = TextBorderStyle::None;
  std::optional<Image> background_;
  std::optional<Image> disabledBackground_;
  bool adjustsFont_ = false;
  double minimumFontSize_ = 0;
  TextFieldViewMode clearMode_ = TextFieldViewMode::Never;
  bool clearsOnBegin_ = false;
  std::shared_ptr<View> leftView_;
  std::shared_ptr<View> rightView_;
  TextFieldViewMode leftMode_ = TextFieldViewMode::Never;
  TextFieldViewMode rightMode_ = TextFieldViewMode::Never;
  int inputType_ = 0;
  std::weak_ptr<TextFieldDelegate> delegate_;
  struct Observer {
    const void* owner;
    std::shared_ptr<TextObserver> callback;
  };
  std::vector<Observer> observers_;
};

}  // namespace platform::ui
