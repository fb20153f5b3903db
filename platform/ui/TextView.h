// A multi-line text, editable or read-only, typed into exactly as a TextField (see TextField.h
// for the order of the editing calls) with these differences: the delegate is asked
// shouldChangeText(view, range, text) and told didChange after every accepted change made by
// the user; "\n" is a character like any other (there is no return key action); a read-only
// view (editable off) never becomes the first responder. Accepted changes post
// kTextDidChangeNotification; setText posts nothing. The text, caret, keyboard and keystrokes are
// EditableText's.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Text16.h"
#include "platform/ui/EditableText.h"
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

class TextView : public ScrollView, public EditableText {
 public:
  static constexpr const char* kTextDidBeginEditingNotification = "TextViewTextDidBeginEditingNotification";
  static constexpr const char* kTextDidChangeNotification = "TextViewTextDidChangeNotification";
  static constexpr const char* kTextDidEndEditingNotification = "TextViewTextDidEndEditingNotification";

  // The system font of 12 points, black, left-aligned; editable.
  explicit TextView(Rect frame = {});
  static std::shared_ptr<TextView> create(Rect frame = {});

  // Off: the text can be read and scrolled, not edited (and the view resigns if it edits).
  bool isEditable() const { return editable_; }
  void setEditable(bool on);

  const TextInputTraits* textInputTraits() const override { return editable_ ? &traits() : nullptr; }
  std::shared_ptr<View> inputView() const override { return customInputView(); }
  std::shared_ptr<View> inputAccessoryView() const override { return customAccessoryView(); }

  std::shared_ptr<TextViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<TextViewDelegate> delegate) { delegate_ = std::move(delegate); }

  bool canBecomeFirstResponder() const override { return editable_; }

  // --- a simulated user (typing as TextField's, through EditableText) ---
  // A finger on the view: it begins editing. False when it takes no touches or refuses.
  bool tap();

  std::string kind() const override { return "TextView"; }
  std::optional<std::string> displayText() const override { return text(); }

 protected:
  void describeExtras(std::string& out) const override;
  bool willBecomeFirstResponder() override;
  bool willResignFirstResponder() override;
  void didBecomeFirstResponder() override;
  void didResignFirstResponder() override;

 private:
  bool allowsChange(Range16 range, const std::string& replacement) override;
  // didChange, then kTextDidChangeNotification.
  void textDidChange() override;

  bool editable_ = true;
  std::weak_ptr<TextViewDelegate> delegate_;
};

}  // namespace platform::ui
