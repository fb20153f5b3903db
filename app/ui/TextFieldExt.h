// Typed text fields: plain platform text fields that carry an input type (card number, amount,
// mobile number, required text, password). The factories make such fields, free-standing or for
// a group table cell, with a Done bar above the keyboard; the editing operations give every
// screen the same keystroke filter, begin/end-of-editing formatting, clean value and validity
// test for the type. A screen makes itself the field's delegate and passes the delegate calls
// on to these operations. The rules themselves are StringsTool's.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Text16.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/TextField.h"

namespace nvx {

// The input types a field carries (TextFieldExt::setType); any other value is free text.
namespace TextFieldType {
inline constexpr int Free = 0;
inline constexpr int CardNumber = 1;         // at most 32 digits; grouped in fours when idle
inline constexpr int Amount = 2;             // yuan, at most two decimals; "%.2f" when idle
inline constexpr int Mobile = 3;             // 11 digits beginning with 1; grouped 3-4-4 with "-"
inline constexpr int MobileNoClear = 4;      // as Mobile, without a clear button
inline constexpr int RequiredNumber = 5;     // any text but blank, number pad
inline constexpr int RequiredText = 6;       // any text but blank, full keyboard
inline constexpr int Password = 7;           // 6 to 20 letters or digits, hidden entry
inline constexpr int AnyPassword = 8;        // 6 to 20 characters of any kind, hidden entry
}  // namespace TextFieldType

class TextFieldExt {
 public:
  // The frame of a group cell's field.
  static constexpr platform::ui::Rect kGroupCellFieldFrame{111, 8, 194, 30};

  // --- factories (each a new field) ---
  // The frame and placeholder, the default text-field font (16), centred vertically, left
  // aligned, the number pad, no automatic capitals, the clear button while editing.
  static std::shared_ptr<platform::ui::TextField> textFieldWithFrame(platform::ui::Rect frame,
                                                                     std::string_view placeholder);
  // textFieldWithFrame with addDoneButtonToolBar and the type; then Amount: the decimal pad;
  // MobileNoClear: no clear button; RequiredText: the full keyboard; the passwords: the full
  // keyboard and hidden entry.
  static std::shared_ptr<platform::ui::TextField> textFieldWithFrame(platform::ui::Rect frame, int type,
                                                                     std::string_view placeholder);
  // The same with addDoneButtonToolBarActionReturn.
  static std::shared_ptr<platform::ui::TextField> textFieldActionReturnWithFrame(platform::ui::Rect frame, int type,
                                                                                 std::string_view placeholder);
  // textFieldWithFrame at kGroupCellFieldFrame with the localized placeholder (none for an empty
  // key), addDoneButtonToolBar and the type; then Mobile: 160 wide; MobileNoClear: 160 wide and
  // no clear button; RequiredText: the full keyboard; the passwords: the full keyboard and
  // hidden entry. An Amount field keeps the number pad here.
  static std::shared_ptr<platform::ui::TextField> groupCellTextFieldWithType(int type,
                                                                             std::string_view placeholderKey);
  // The same with addDoneButtonToolBarActionReturn.
  static std::shared_ptr<platform::ui::TextField> groupCellTextFieldActionReturnWithType(
      int type, std::string_view placeholderKey);
  // A plain new field.
  static std::shared_ptr<platform::ui::TextField> chineseNameTextField();

  // --- Done bars: a 320 x 44 black translucent bar above the keyboard (a flexible space, then the
  // system Done item); the field gets the system keyboard back as its input view ---
  // Done closes the keyboard.
  static void addDoneButtonToolBar(platform::ui::TextField& field);
  // Done asks the field's delegate whether the field should return (textFieldShouldReturn).
  static void addDoneButtonToolBarActionReturn(platform::ui::TextField& field);
  // Done runs the action.
  static void addDoneButtonToolBar(platform::ui::TextField& field, std::function<void()> action);
  // The field's delegate's answer to "should return" for this field; nothing without a delegate
  // or an answer.
  static std::optional<bool> textFieldShouldReturn(platform::ui::TextField& field);

  // --- editing (called by the screen from its field-delegate operations) ---
  // The keystroke filter of the field's type; true for types without one. A mobile-number field
  // whose eleventh digit is typed takes the number and closes its keyboard itself (false).
  static bool shouldChangeCharactersInRange(platform::ui::TextField& field, platform::Range16 range,
                                            std::string_view replacementString);
  // The default text-field font again, then the begin-editing step of the type: a card number
  // loses its spaces, a mobile number its "-", an amount a trailing ".00".
  static void textFieldShouldBeginEditing(platform::ui::TextField& field);
  // The end-editing step of the type: a card number grouped in fours (the font shrunk until it
  // fits), an amount as "%.2f" of its value, a mobile number grouped 3-4-4. Returns the clean
  // value: for card and mobile numbers the text without separators, for an amount the formatted
  // text, otherwise the text.
  static std::string textFieldDidEndEditing(platform::ui::TextField& field);
  // The clean value of the type: a card number without spaces, a mobile number without "-", an
  // amount as "%.2f" of its value (written into the field as well), otherwise the text.
  static std::string realText(platform::ui::TextField& field);
  // True when the clean value fails the validity rule of the type.
  static bool isNotValid(platform::ui::TextField& field);
  // Removes a trailing ".00" from a text of 3 or more characters.
  static void fixMoneyInputEditingBegin(platform::ui::TextField& field);

  static void setType(platform::ui::TextField& field, int type);
  static int type(const platform::ui::TextField& field);
};

}  // namespace nvx
