#include "bills/ChargeCodeViewController.h"

#include "bills/BillFormParts.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;
using platform::ui::TextAlignment;

std::shared_ptr<ChargeCodeCell> ChargeCodeCell::initWithStyle(platform::ui::TableViewCellStyle style,
                                                              std::string reuseIdentifier) {
  auto cell = std::make_shared<ChargeCodeCell>(style, std::move(reuseIdentifier));
  cell->build();
  return cell;
}

ChargeCodeCell::ChargeCodeCell(platform::ui::TableViewCellStyle style, std::string reuseIdentifier)
    : TableViewCell(style, std::move(reuseIdentifier)) {}

void ChargeCodeCell::build() {
  setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  const char* captions[] = {"交易流水号", "充值金额", "充值时间", "充值码"};
  for (int i = 0; i < 4; ++i) {
    auto caption = billform::rowLabel(Rect{5, 8.0 + 28 * i, 90, 24}, captions[i], TextAlignment::Right);
    caption->setFont(i == 3 ? Font::boldSystem(18) : Font::system(14));
    contentView()->addSubview(caption);
  }
  auto value = [&](int row, const char* text) {
    auto label = billform::rowLabel(Rect{100, 8.0 + 28 * row, 130, 24}, text);
    label->setFont(row == 3 ? Font::boldSystem(18) : Font::system(14));
    contentView()->addSubview(label);
    return label;
  };
  billNOLabel_ = value(0, "1232233");
  monenyLabel_ = value(1, "120.00");
  chargeTimeLabel_ = value(2, "2013.01.01");
  chargeCodeLabel_ = value(3, "12453423232");
  chargeCodeLabel_->setTextColor(Color::rgb255(255, 0, 0));
  stateLabel_ = billform::rowLabel(Rect{235, 48, 60, 24}, "未使用", TextAlignment::Right);
  contentView()->addSubview(stateLabel_);
}

void ChargeCodeViewController::viewDidLoad() {
  NVXBaseViewController::viewDidLoad();
  setTitle(kTitle);
  auto self = std::static_pointer_cast<ChargeCodeViewController>(shared_from_this());
  chargeCodeTb_ = platform::ui::TableView::create(view()->bounds(), platform::ui::TableViewStyle::Grouped);
  chargeCodeTb_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  chargeCodeTb_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  view()->addSubview(chargeCodeTb_);
}

std::shared_ptr<platform::ui::TableViewCell> ChargeCodeViewController::cellForRow(platform::ui::TableView&,
                                                                                  platform::ui::IndexPath) {
  return ChargeCodeCell::initWithStyle(platform::ui::TableViewCellStyle::Default, "Cell");
}

std::optional<double> ChargeCodeViewController::heightForFooter(platform::ui::TableView&, int section) {
  return section == 1 ? 50.0 : 0.0;
}

std::shared_ptr<platform::ui::View> ChargeCodeViewController::viewForFooter(platform::ui::TableView&, int section) {
  if (section != 1) return nullptr;
  auto footer = platform::ui::View::create(Rect{0, 0, 320, 50});
  auto button = platform::ui::Button::create(Rect{0, 0, 320, 50});
  auto label = billform::rowLabel(Rect{10, 10, 300, 30}, "支付宝充值码使用帮助", TextAlignment::Center);
  label->setFont(Font::system(14));
  label->setBackgroundColor(Color::rgb255(255, 204, 0));
  label->layer().cornerRadius = 6;
  button->addSubview(label);
  footer->addSubview(button);
  return footer;
}

}  // namespace nvx
