// A multi-line text, editable or read-only, typed into exactly as a TextField (see TextField.h
// for the order of the editing calls) with these differences: the delegate is asked
// shouldChangeText(view, range, text) and told didChange after every accepted change made by
// the user; "\n" is a character like any other (there is no return key action); a read-only
// view (editable off) never becomes the first responder. Accepted changes post
// kTextDidChangeNotification; setText posts nothing.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Text16.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

namespace platform::ui {

class TextView;

// Optional answers: std::nullopt = not implemented (the view goes ahead).
class TextViewDelegate {
 public:
  virtual ~TextViewDelegate() = default;
  virtual std::optional<bool> shouldBeginEditing(TextView&) { return std::nullopt; }
  virtual void didBeginEditing(TextView&) {}
  virtual std::optional<bool> shouldEndEditing(TextView&) { return std::nullopt; }
  virtual void didEndEditing(TextView&) {}
  virtual std::optional<bool> shouldChangeText(TextView&, Range16 range, const std::string& replacement) {
    return std::nullopt;
  }
  virtual void didChange(TextView&) {}
};

class TextView : public ScrollView {
 public:
  static constexpr const char* kTextDidBeginEditingNotification = "TextViewTextDidBeginEditingNotification";
  static constexpr const char* kTextDidChangeNotification = "TextViewTextDidChangeNotification";
  static constexpr const char* kTextDidEndEditingNotification = "TextViewTextDidEndEditingNotification";

  explicit TextView(Rect frame = {});
  static std::shared_ptr<TextView> create(Rect frame = {});

  const std::string& text() const { return text_; }
  // A program's change: caret to the end; nobody is asked or told.
  void setText(std::string text);
  bool hasText() const { return !text_.empty(); }
  // Default: the system font of 12 points.
  const Font& font() const { return font_; }
  void setFont(Font font) { font_ = font; }
  const Color& textColor() const { return textColor_; }
  void setTextColor(Color c) { textColor_ = c; }
  TextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(TextAlignment a) { alignment_ = a; }
  // Off: the text can be read and scrolled, not edited (and the view resigns if it edits).
  bool isEditable() const { return editable_; }
  void setEditable(bool on);

  KeyboardType keyboardType() const { return traits_.keyboardType; }
  void setKeyboardType(KeyboardType type);
  ReturnKeyType returnKeyType() const { return traits_.returnKeyType; }
  void setReturnKeyType(ReturnKeyType type) { traits_.returnKeyType = type; }
  TextAutocapitalization autocapitalizationType() const { return traits_.autocapitalization; }
  void setAutocapitalizationType(TextAutocapitalization t) { traits_.autocapitalization = t; }
  TextAutocorrection autocorrectionType() const { return traits_.autocorrection; }
  void setAutocorrectionType(TextAutocorrection t) { traits_.autocorrection = t; }
  const TextInputTraits* textInputTraits() const override { return editable_ ? &traits_ : nullptr; }

  std::shared_ptr<View> inputView() const override { return inputView_; }
  void setInputView(std::shared_ptr<View> view);
  std::shared_ptr<View> inputAccessoryView() const override { return accessoryView_; }
  void setInputAccessoryView(std::shared_ptr<View> view);
  // While editing: the custom input view, or the system keyboard; else nothing.
  std::shared_ptr<View> activeInputView() const;

  std::shared_ptr<TextViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<TextViewDelegate> delegate) { delegate_ = std::move(delegate); }

  bool isEditing() const { return isFirstResponder(); }
  bool canBecomeFirstResponder() const override { return editable_; }
  size_t caret16() const { return caret16_; }
  void setCaret16(size_t position);

  // --- a simulated user (as TextField's) ---
  bool tap();
  size_t typeText(std::string_view text);
  bool paste(std::string_view text);
  bool insertText(std::string_view text);
  bool deleteBackward();

  std::string kind() const override { return "TextView"; }
  std::optional<std::string> displayText() const override { return text_; }

 protected:
  void describeExtras(std::string& out) const override;
  bool willBecomeFirstResponder() override;
  bool willResignFirstResponder() override;
  void didBecomeFirstResponder() override;
  void didResignFirstResponder() override;

 private:
  bool change(Range16 range, std::string replacement);

  std::string text_;
  Font font_ = Font::system(12);
  Color textColor_ = Color::black();
  TextAlignment alignment_ = TextAlignment::Left;
  bool editable_ = true;
  TextInputTraits traits_;
  std::shared_ptr<View> inputView_;
  std::shared_ptr<View> accessoryView_;
  std::weak_ptr<TextViewDelegate> delegate_;
  size_t caret16_ = 0;
};

}  // namespace platform::ui
