#include "app/ui/TransactionInfoLabelSource.h"

namespace nvx {

using Row = std::shared_ptr<TransactionInfoLabelSource>;

Row TransactionInfoLabelSource::sourceWithLeftValue(std::string_view leftValue, std::optional<std::string> rightValue) {
  auto row = std::make_shared<TransactionInfoLabelSource>();
  row->setLeftValue(leftValue);
  row->setRightValue(std::move(rightValue));
  return row;
}

Row TransactionInfoLabelSource::sourceWithLeftValue(std::string_view leftValue, std::optional<std::string> rightValue,
                                                    platform::ui::Color textColor) {
  auto row = sourceWithLeftValue(leftValue, std::move(rightValue));
  row->setTextColor(textColor);
  return row;
}

Row TransactionInfoLabelSource::sourceWithLeftValue(std::string_view leftValue, std::optional<std::string> rightValue,
                                                    std::optional<std::string> rightValue2) {
  auto row = sourceWithLeftValue(leftValue, std::move(rightValue));
  row->setRightValue2(std::move(rightValue2));
  return row;
}

Row TransactionInfoLabelSource::sourceWithLeftValue(std::string_view leftValue, std::optional<std::string> rightValue,
                                                    std::optional<std::string> rightValue2,
                                                    std::optional<std::string> rightValue3) {
  auto row = sourceWithLeftValue(leftValue, std::move(rightValue), std::move(rightValue2));
  row->setRightValue3(std::move(rightValue3));
  return row;
}

Row TransactionInfoLabelSource::mutiLinedSourceWithLeftValue(std::string_view leftValue,
                                                             std::optional<std::string> rightValue) {
  auto row = sourceWithLeftValue(leftValue, std::move(rightValue));
  row->setMutiLined(true);
  return row;
}

Row TransactionInfoLabelSource::sourceWithLeftValue(std::string_view leftValue, int64_t rightAmountFen) {
  auto row = std::make_shared<TransactionInfoLabelSource>();
  row->setLeftValue(leftValue);
  row->setAmount(rightAmountFen);
  row->setIsNumber(true);
  return row;
}

Row TransactionInfoLabelSource::sourceWithLeftValue(std::string_view leftValue, int64_t rightAmountFen, bool isRed) {
  auto row = sourceWithLeftValue(leftValue, rightAmountFen);
  row->setRed(isRed);
  return row;
}

}  // namespace nvx
