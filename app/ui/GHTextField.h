// A form field of its own: a view wrapping a platform text field, with a Done bar above the
// keyboard, a length limit and a typed input (card number, amount, mobile number) that is
// grouped for display while the field is idle and plain while it is edited. The wrapper is its
// inner field's delegate and tells its action about the editing events.
//
// Every such field closes its keyboard on kResignFirstResponderNotification (any sender), which
// GHPickerView posts before it shows itself.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"

namespace nvx {

class GHTextField : public platform::ui::View, public platform::ui::TextFieldDelegate {
 public:
  static constexpr const char* kResignFirstResponderNotification = "GHResignFirstResponderNotification";
  // The largest 32-bit signed value: no limit in practice.
  static constexpr int kDefaultMaxLength = 2147483647;

  // Input types.
  static constexpr int kInputPlain = 0;
  static constexpr int kInputCardNumber = 1;          // digits only, at most 32; grouped in fours
  static constexpr int kInputCardGrouping = 2;        // grouped in fours, no filter
  static constexpr int kInputAmount = 3;              // the amount filter, shown as typed
  static constexpr int kInputMobileNumber = 4;        // 11 digits from "1", grouped 3-4-4 with "-"

  // Events told to the action (field, event).
  static constexpr int kEventWillBeginEditing = 0;    // the inner field holds the plain text and the kept font
  static constexpr int kEventDidBeginEditing = 1;
  static constexpr int kEventWillEndEditing = 2;      // always allowed
  static constexpr int kEventDidEndEditing = 3;       // after regrouping and font fitting
  static constexpr int kEventWillChange = 4;          // an accepted change, the clear button, the return key
  static constexpr int kEventTextChanged = 5;         // 1 ms after an accepted change; at once on a program's change

  using Action = std::function<void(GHTextField&, int event)>;

  explicit GHTextField(platform::ui::Rect frame);
  // The wrapper and its inner field, which takes the wrapper's bounds.
  static std::shared_ptr<GHTextField> create(platform::ui::Rect frame);
  ~GHTextField() override;

  // The inner text without the grouping (" " and "-") for the card and mobile types.
  std::string text() const;
  // Sets the inner text and regroups it.
  void setText(const std::string& text);

  std::string placeHolder() const { return internalTextField_->placeholder(); }
  void setPlaceHolder(std::string text) { internalTextField_->setPlaceholder(std::move(text)); }
  platform::ui::Color textColor() const { return internalTextField_->textColor(); }
  void setTextColor(platform::ui::Color c) { internalTextField_->setTextColor(c); }
  platform::ui::TextAlignment textAlignment() const { return internalTextField_->textAlignment(); }
  void setTextAlignment(platform::ui::TextAlignment a) { internalTextField_->setTextAlignment(a); }
  platform::ui::KeyboardType keyboardType() const { return internalTextField_->keyboardType(); }
  void setKeyboardType(platform::ui::KeyboardType t) { internalTextField_->setKeyboardType(t); }
  platform::ui::ReturnKeyType returnKeyType() const { return internalTextField_->returnKeyType(); }
  void setReturnKeyType(platform::ui::ReturnKeyType t) { internalTextField_->setReturnKeyType(t); }
  bool secureTextEntry() const { return internalTextField_->isSecureTextEntry(); }
  void setSecureTextEntry(bool on) { internalTextField_->setSecureTextEntry(on); }
  platform::ui::TextFieldViewMode clearButtonMode() const { return internalTextField_->clearButtonMode(); }
  void setClearButtonMode(platform::ui::TextFieldViewMode m) { internalTextField_->setClearButtonMode(m); }

  // The font applied to the inner field when editing begins and ends (none: the platform's
  // default field font).
  const std::optional<platform::ui::Font>& font() const { return font_; }
  void setFont(platform::ui::Font font);

  int maxLength() const { return maxLength_; }
  void setMaxLength(int length) { maxLength_ = length; }
  int inputType() const { return inputType_; }
  // The card-number type also shows the clear button while editing.
  void setInputType(int type);

  const Action& action() const { return action_; }
  void setAction(Action action) { action_ = std::move(action); }

  // The inner field.
  const std::shared_ptr<platform::ui::TextField>& internalTextField() const { return internalTextField_; }
  const std::shared_ptr<platform::ui::TextField>& getTextFiled() const { return internalTextField_; }

  // The inner field resigns (the Done item; endEditing also serves the notification).
  void done();
  using View::endEditing;
  void endEditing();
  // Regroups the inner text for the input type.
  void handleText();
  // Tells the action kEventTextChanged.
  void textChanged();

  void setFrame(platform::ui::Rect frame) override;
  std::string kind() const override { return "GHTextField"; }

  // --- the inner field's delegate ---
  std::optional<bool> shouldBeginEditing(platform::ui::TextField&) override;
  void didBeginEditing(platform::ui::TextField&) override;
  std::optional<bool> shouldEndEditing(platform::ui::TextField&) override;
  void didEndEditing(platform::ui::TextField&) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField&, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldClear(platform::ui::TextField&) override;
  std::optional<bool> shouldReturn(platform::ui::TextField&) override;

 private:
  void build();
  void report(int event);
  void applyFont();

  std::shared_ptr<platform::ui::TextField> internalTextField_;
  Action action_;
  int maxLength_ = kDefaultMaxLength;
  std::optional<platform::ui::Font> font_;
  int inputType_ = kInputPlain;
  platform::NotificationCenter::Observation resignObservation_;
};

}  // namespace nvx
