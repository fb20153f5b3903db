#include "pay/ResultRows.h"

#include <limits>

#include "pay/PayMoney.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

std::string ResultRows::text(const platform::Json& data, std::string_view key) {
  if (!data.is_object()) return {};
  auto it = data.find(key);
  if (it == data.end() || it->is_null() || it->is_object() || it->is_array()) return {};
  return platform::json::asText(*it).value_or(std::string());
}

int64_t ResultRows::yuanAmountFen(const platform::Json& data, std::string_view key) {
  return PayMoney::fenFromYuanText(text(data, key)).value_or(0);
}

std::string ResultRows::moneyText(int64_t fen) {
  // Amounts of the flow stay far below the extremes; the lowest value is only kept from overflowing.
  const int64_t magnitude =
      fen >= 0 ? fen : (fen == std::numeric_limits<int64_t>::min() ? std::numeric_limits<int64_t>::max() : -fen);
  const std::string digits = PayMoney::yuanFromFen(magnitude);
  const size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  std::string grouped;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
    grouped += whole[i];
  }
  return (fen < 0 ? "-" : "") + grouped + digits.substr(point) + " 元";
}

const platform::Json& ResultRows::object(const platform::Json& data, std::string_view key) {
  static const platform::Json kEmpty = platform::Json::object();
  if (!data.is_object()) return kEmpty;
  auto it = data.find(key);
  return it != data.end() && it->is_object() ? *it : kEmpty;
}

std::string ResultRows::payeeBankName(const platform::Json& payeeCard) {
  std::string name = text(object(payeeCard, "NVX_BANKINFO"), "bankName");
  return name.empty() ? text(payeeCard, "NVX_BANKINFO") : name;
}

Color ResultRows::borderColor() { return Color{202.0 / 255.0, 0.8, 0.8, 1}; }

std::shared_ptr<platform::ui::View> ResultRows::card(Rect frame) {
  auto view = platform::ui::View::create(frame);
  view->setBackgroundColor(Color::white());
  view->layer().borderWidth = 1;
  view->layer().borderColor = borderColor();
  view->layer().cornerRadius = 6;
  view->setClipsToBounds(true);
  return view;
}

std::shared_ptr<platform::ui::Label> ResultRows::labelWithFrame(Rect frame, std::string_view text) {
  auto label = platform::ui::Label::create(frame, std::string(text));
  label->setBackgroundColor(Color::clear());
  label->setTextColor(Color::gray(0.408));
  label->setFont(Font::system(14));
  return label;
}

double ResultRows::layoutRows(platform::ui::View& card, const TransactionInfoSource::Rows& rows, double y,
                              int businessType) {
  const bool tall = businessType == 23;
  for (const auto& row : rows) {
    if (!row) continue;
    const bool wraps = !row->isNumber() && row->mutiLined();
    auto label = labelWithFrame(Rect{13, y, 88, wraps && tall ? 30.0 : 15.0}, row->leftValue() + ":");
    label->setTextAlignment(platform::ui::TextAlignment::Right);
    card.addSubview(label);
    if (row->isNumber()) {
      auto value = labelWithFrame(Rect{116, y, 225, 15}, moneyText(row->amount()));
      if (row->isRed()) value->setTextColor(Color::rgb255(255, 0, 0));
      card.addSubview(value);
      y += 25;
    } else if (wraps) {
      auto value = labelWithFrame(Rect{116, y - 2, 180, 35}, row->rightValue().value_or(std::string()));
      value->setNumberOfLines(tall ? 3 : 2);
      card.addSubview(value);
      y += tall ? 75 : 60;
    } else {
      card.addSubview(labelWithFrame(Rect{116, y, 200, 15}, row->rightValue().value_or(std::string())));
      y += 25;
    }
  }
  return y;
}

}  // namespace nvx
