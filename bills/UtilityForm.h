// The utility-bill form that the server describes per business and area: the description's
// reader, the form items it is made of, the derived form state (rows, codes, note, amount step)
// and the checks of the rows and of the amount step. Nothing here shows anything: the screens
// read the state and show the prompts these functions return.
//
// A description is a list of items. Items are shared objects: an item that includes a shared
// definition ("include" naming a "common" child) is that definition, so two rows including one
// definition share its value, as the server intends.
//
// Money and the numeric rules are exact: values are read as decimal text and compared as such
// (amounts as whole fen), never through binary floating point.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Status.h"

namespace nvx {

struct UtilityOption;

class UtilityFormItem {
 public:
  // Every key of the item but "childs" and "data", as the server gave it; the screen writes
  // "text" and "value".
  platform::Json fields = platform::Json::object();
  // The items of a list option's choice, of a "common" container, or of the amount step.
  std::vector<std::shared_ptr<UtilityFormItem>> childs;
  // A list's options.
  std::vector<UtilityOption> data;

  bool has(std::string_view key) const;
  // A text, a number in its shortest form, a bool as "1"/"0"; nothing for anything else.
  std::optional<std::string> get(std::string_view key) const;
  // get, or "".
  std::string str(std::string_view key) const;
  void set(std::string_view key, std::string value);
  // true, a non-zero number, or a text "1"/"true"/"YES" (any case).
  bool flag(std::string_view key) const;
  // Present and false (by flag).
  bool isFalse(std::string_view key) const { return has(key) && !flag(key); }
  // The texts of a list key ("multiKey"); nothing for other types.
  std::vector<std::string> texts(std::string_view key) const;
  // The operator of the first "compare" rule (the second entry of the first list); nothing when
  // the item has no usable rule.
  std::optional<std::string> compareOperator() const;
  bool hasCompareRule() const;
  // A length limit ("maxLength", "minLength"): a whole non-negative number, else nothing.
  std::optional<size_t> limit(std::string_view key) const;
};

struct UtilityOption {
  std::string text;
  std::string value;
  std::vector<std::shared_ptr<UtilityFormItem>> childs;
};

using UtilityItems = std::vector<std::shared_ptr<UtilityFormItem>>;

class UtilityDescription {
 public:
  // Limits of what a description may hold; beyond them it is refused as unusable.
  static constexpr size_t kMaxBytes = 1u << 20;
  static constexpr int kMaxDepth = 48;
  static constexpr size_t kMaxItems = 5000;

  // The reply body as JSON text: bare object keys (a run of letters, digits, "_", "|" or "-"
  // followed by a colon) are quoted and single-quoted strings become double-quoted ones, both
  // only outside string literals, so values holding ":" or "'" stay as they are. Nothing for a
  // body with an unterminated string, nesting deeper than kMaxDepth or more than kMaxBytes.
  static std::optional<std::string> toJsonText(std::string_view body);

  // The items of a description list ("retData"). An error for anything that is not a list of
  // items of the described shape (objects; "childs" and "data" lists; options objects) or that
  // holds more than kMaxItems items.
  static platform::Result<UtilityItems> items(const platform::Json& list);
};

// What a description yields for the screen (its updateForm).
struct UtilityFormState {
  // The collecting organisation's item (title "缴费单位" or "收费单位"), drawn apart.
  std::shared_ptr<UtilityFormItem> department;
  // The rows, in order; empty when the description yields none.
  UtilityItems inputForm;
  // The amount step's items (the "showInput2" item's "childs").
  UtilityItems input2Form;
  UtilityItems commonFields;
  std::string subbid;
  std::string queryTrans;
  bool showInput2 = false;
  bool payEqualPrice = false;
  // The note, when an item with the "note" layout set it.
  std::optional<std::string> note;

  // Rebuilds the state from the description: shared definitions, included items, the chosen
  // option of each list (the first one when the item's "text" names none, written into the
  // item) and its items, codes and note. An error (and an empty state) for a description whose
  // includes run in a circle or that expands to more than kMaxItems rows.
  [[nodiscard]] platform::Status update(const UtilityItems& payInfo);
  // The first shared definition of that name.
  std::shared_ptr<UtilityFormItem> getCommonForm(std::string_view name) const;

 private:
  platform::Status addFormItem(std::shared_ptr<UtilityFormItem> item, std::vector<const UtilityFormItem*>& path,
                               size_t& count);
};

// The title of a collecting organisation's item.
bool isDepartmentTitle(std::string_view title);

// An exact decimal number: an optional sign, digits, an optional "." and digits (no exponent,
// no grouping). Compared and divided exactly.
class DecimalText {
 public:
  static std::optional<DecimalText> parse(std::string_view text);
  // <0, 0, >0.
  int compare(const DecimalText& other) const;
  bool isZero() const { return whole_.empty() && fraction_.empty(); }
  // This number is a whole multiple of m (m not zero); nothing when either is too long to divide.
  std::optional<bool> isMultipleOf(const DecimalText& m) const;
  // The whole fen of a yuan amount: nothing when negative, finer than a fen or too large.
  std::optional<int64_t> fen() const;

 private:
  bool negative_ = false;
  std::string whole_;     // no leading zeros
  std::string fraction_;  // no trailing zeros
};

// The text without its "-" grouping.
std::string removeDashes(std::string text);

// The form's "%@" placeholders filled in order.
std::string fillFormat(std::string_view format, const std::vector<std::string>& values);

// The checks of the rows and the form dictionary they make (the screen's finalForm).
struct UtilityFormInput {
  const UtilityFormState* state = nullptr;
  bool areaChosen = false;
  std::string areaName;
  // The screen's title ("K_TRANSACTION_INFO").
  std::string title;
};
// The form dictionary, or the prompt of the first failure.
std::variant<platform::Json, std::string> finalForm(const UtilityFormInput& input);

// The amount step's checks of the amount typed (the form's "amount") against the bill's price
// and the step's first item; the prompt of the first failure, nothing when it passes.
std::optional<std::string> checkAmountStep(const platform::Json& form, const UtilityFormItem* item);

// The pay hand-over's amount: what the form asks to pay, in fen; or the prompt.
// After an inquiry (the form holds "queryTrans") the server's "amount", else its "price", counts in
// fen; an amount typed into a row of the form (yuan) is taken as yuan when the reply named no
// amount of its own. Without an inquiry the form's "amount" is yuan.
struct UtilityPayAmount {
  int64_t fen = 0;
  // The text the commit carries: the yuan with six decimals after an inquiry, else as typed.
  std::string commitText;
};
std::variant<UtilityPayAmount, std::string> payAmount(const platform::Json& form, bool replyNamedAmount);

// A member of the form dictionary as text (texts as they are, numbers in their shortest form).
std::optional<std::string> formText(const platform::Json& form, std::string_view key);

}  // namespace nvx
