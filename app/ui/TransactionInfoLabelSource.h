// One row of a receipt or detail box: a label and either a text value (up to two further value
// lines and a colour for the first) or an amount, shown in yuan and possibly in red.
//
// Amounts are kept in fen (int64_t): the pay screens charge the amount of a row, so it never
// passes through binary floating point. Passing a floating-point yuan value where an amount is
// expected does not compile.
#pragma once
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/Color.h"

namespace nvx {

class TransactionInfoLabelSource {
 public:
  // A text row with every field empty.
  TransactionInfoLabelSource() = default;

  // --- text rows ---
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view leftValue,
                                                                         std::optional<std::string> rightValue);
  // The first value drawn in the colour.
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view leftValue,
                                                                         std::optional<std::string> rightValue,
                                                                         platform::ui::Color textColor);
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view leftValue,
                                                                         std::optional<std::string> rightValue,
                                                                         std::optional<std::string> rightValue2);
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view leftValue,
                                                                         std::optional<std::string> rightValue,
                                                                         std::optional<std::string> rightValue2,
                                                                         std::optional<std::string> rightValue3);
  // A text row whose value may take several lines (for screens that lay rows out themselves).
  static std::shared_ptr<TransactionInfoLabelSource> mutiLinedSourceWithLeftValue(
      std::string_view leftValue, std::optional<std::string> rightValue);

  // --- amount rows (fen) ---
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view leftValue,
                                                                         int64_t rightAmountFen);
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view leftValue,
                                                                         int64_t rightAmountFen, bool isRed);
  template <std::floating_point Yuan>
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view, Yuan) = delete;
  template <std::floating_point Yuan>
  static std::shared_ptr<TransactionInfoLabelSource> sourceWithLeftValue(std::string_view, Yuan, bool) = delete;

  // The label text, without punctuation of its own (the box adds the colon).
  const std::string& leftValue() const { return leftValue_; }
  void setLeftValue(std::string_view text) { leftValue_ = std::string(text); }
  // The value of a text row; nothing when missing.
  const std::optional<std::string>& rightValue() const { return rightValue_; }
  void setRightValue(std::optional<std::string> text) { rightValue_ = std::move(text); }
  // A second value line under the first (text rows only).
  const std::optional<std::string>& rightValue2() const { return rightValue2_; }
  void setRightValue2(std::optional<std::string> text) { rightValue2_ = std::move(text); }
  // A third value, kept for screens that read rows themselves; the box never draws it.
  const std::optional<std::string>& rightValue3() const { return rightValue3_; }
  void setRightValue3(std::optional<std::string> text) { rightValue3_ = std::move(text); }
  // Colour of the first value of a text row; nothing means the standard row colour.
  const std::optional<platform::ui::Color>& textColor() const { return textColor_; }
  void setTextColor(std::optional<platform::ui::Color> color) { textColor_ = color; }
  // The value of an amount row, in fen.
  int64_t amount() const { return amount_; }
  void setAmount(int64_t fen) { amount_ = fen; }
  template <std::floating_point Yuan>
  void setAmount(Yuan) = delete;
  bool isRed() const { return red_; }
  void setRed(bool red) { red_ = red; }
  // Read by screens that lay rows out themselves; the box always wraps.
  bool mutiLined() const { return mutiLined_; }
  void setMutiLined(bool on) { mutiLined_ = on; }
  // True for an amount row (the value is amount()), false for a text row (rightValue()).
  bool isNumber() const { return isNumber_; }
  void setIsNumber(bool on) { isNumber_ = on; }

 private:
  std::string leftValue_;
  std::optional<std::string> rightValue_;
  std::optional<std::string> rightValue2_;
  std::optional<std::string> rightValue3_;
  std::optional<platform::ui::Color> textColor_;
  int64_t amount_ = 0;
  bool red_ = false;
  bool mutiLined_ = false;
  bool isNumber_ = false;
};

}  // namespace nvx
