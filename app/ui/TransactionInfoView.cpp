#include "app/ui/TransactionInfoView.h"

#include "core/text/MoneyFormat.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::Rect;
using platform::ui::Size;
using platform::ui::TextAlignment;
using platform::ui::TextMetrics;
using platform::ui::View;

namespace {

constexpr double kTopMargin = 15;
constexpr double kValueX = 120;
constexpr double kViolationValueX = 140;
constexpr double kLineHeight = 17;
constexpr Size kValueBox{180, 100};

const Font kRowFont = Font::system(14);
const Font kPromptFont = Font::boldSystem(12);

// Shown in yuan; the display rounding of the formatter never reaches an amount sent anywhere.
std::string yuanText(int64_t fen) { return text::formatMoney(static_cast<double>(fen) / 100.0); }

}  // namespace

std::shared_ptr<TransactionInfoView> TransactionInfoView::create(Rect frame,
                                                                 std::shared_ptr<TransactionInfoSource> info,
                                                                 TextAlignment letfValueAligment, bool lined,
                                                                 bool isFromViolation) {
  if (!info || info->labelSource().empty()) return nullptr;
  auto view = std::make_shared<TransactionInfoView>(frame);
  view->info_ = std::move(info);
  view->build(letfValueAligment, lined, isFromViolation);
  return view;
}

std::shared_ptr<TransactionInfoView> TransactionInfoView::create(Rect frame,
                                                                 std::shared_ptr<TransactionInfoSource> info) {
  return create(frame, std::move(info), TextAlignment::Right, true, false);
}

std::shared_ptr<Label> TransactionInfoView::labelWithFrame(Rect frame, std::string_view text) {
  auto label = Label::create(frame, std::string(text));
  label->setBackgroundColor(Color::clear());
  label->setTextColor(Color::rgb255(51, 51, 51));
  label->setFont(kRowFont);
  label->setNumberOfLines(0);
  return label;
}

void TransactionInfoView::build(TextAlignment alignment, bool lined, bool isFromViolation) {
  const Rect given = frame();
  setBackgroundColor(Color::white());
  const std::string payLabel = Strings::localized("PayCardAmount");
  double y = kTopMargin;

  for (const auto& row : info_->labelSource()) {
    if (!row) continue;
    std::string leftText = isFromViolation ? row->leftValue() : row->leftValue() + ":";
    Rect leftFrame = alignment == TextAlignment::Left ? Rect{50, y, 90, kLineHeight} : Rect{12, y, 90, kLineHeight};
    auto left = labelWithFrame(leftFrame, leftText);
    left->setTextAlignment(alignment);
    addSubview(left);
    const bool isPayRow = row->leftValue() == payLabel;
    if (isPayRow) payAmountLeftLb_ = left;

    if (row->isNumber()) {
      if (!hasPickAmount_) {
        payAmount_ = row->amount();
        if (isPayRow) hasPickAmount_ = true;
      }
      std::string amountText = yuanText(row->amount());
      double w = TextMetrics::measure(amountText, kRowFont).width;
      auto value = labelWithFrame(Rect{kValueX, y, w, kLineHeight}, amountText);
      if (row->isRed()) value->setTextColor(Color{1, 0, 0, 1});
      addSubview(value);
      addSubview(labelWithFrame(Rect{kValueX + w + 2, y, 30, kLineHeight}, Strings::localized("CurrencyUnit")));
      y += 27;
      continue;
    }

    // A missing value still takes a line, so the rows below stay where the screen expects them.
    if (!row->rightValue() || row->rightValue()->empty()) row->setRightValue("   ");
    const std::string& first = *row->rightValue();
    double h1 = TextMetrics::measure(first, kRowFont, kValueBox).height;
    auto value = labelWithFrame(Rect{isFromViolation ? kViolationValueX : kValueX, y, kValueBox.width, h1}, first);
    if (row->textColor()) value->setTextColor(*row->textColor());
    addSubview(value);
    y += h1 + 10;
    if (row->rightValue2()) {
      const std::string& second = *row->rightValue2();
      double h2 = TextMetrics::measure(second, kRowFont, kValueBox).height;
      addSubview(labelWithFrame(Rect{kValueX, y, kValueBox.width, h2}, second));
      y += h2 + 10;
    }
  }
  y -= 12;

  if (info_->prompt() && !info_->prompt()->empty()) {
    const std::string& prompt = *info_->prompt();
    y += 10;
    Size t = TextMetrics::measure(prompt, kPromptFont, Size{290, 10000});
    auto box = View::create(Rect{8, y, 304, t.height + 14});
    box->setBackgroundColor(Color::rgb255(248, 248, 193));
    box->layer().borderWidth = 1;
    box->layer().borderColor = Color::rgb255(240, 220, 190);
    box->layer().cornerRadius = 4;
    box->layer().masksToBounds = true;
    box->setClipsToBounds(true);
    auto label = Label::create(Rect{7, 7, 290, t.height}, prompt);
    label->setBackgroundColor(Color::clear());
    label->setTextColor(Color::rgb255(113, 54, 11));
    label->setFont(kPromptFont);
    label->setNumberOfLines(100);
    label->setTextAlignment(TextAlignment::Center);
    box->addSubview(label);
    addSubview(box);
    y += box->frame().height;
  }

  if (lined) {
    auto border = ImageView::create(Rect{0, y, 320, 40});
    border->setImage(platform::ui::Image::named("bill-border.png"));
    border->setTag(kUnderLineTag);
    addSubview(border);
    y += 30;
  } else {
    y += 5;
  }
  setFrame(Rect{given.x, given.y, given.width, y});
}

void TransactionInfoView::changePayAmountLeftLabel(std::string_view text) {
  if (payAmountLeftLb_) payAmountLeftLb_->setText(std::string(text) + ":");
}

void TransactionInfoView::removeUnderLine() {
  // Only the view's own border: a host may have tagged something else 1003 around it.
  for (const auto& sub : subviews()) {
    if (sub->tag() == kUnderLineTag) {
      std::shared_ptr<View> border = sub;   // the vector entry goes with the removal
      border->removeFromSuperview();
      return;
    }
  }
}

}  // namespace nvx
