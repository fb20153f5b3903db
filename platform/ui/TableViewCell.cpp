#include "platform/ui/TableViewCell.h"

#include <algorithm>

#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"

namespace platform::ui {

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View(Rect{0, 0, 320, 44}), style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {
  contentView_ = View::create(bounds());
}

std::shared_ptr<TableViewCell> TableViewCell::create(TableViewCellStyle style, std::string reuseIdentifier) {
  auto cell = std::make_shared<TableViewCell>(style, std::move(reuseIdentifier));
  cell->addSubview(cell->contentView_);
  return cell;
}

std::shared_ptr<Label> TableViewCell::textLabel() {
  if (!textLabel_) {
    textLabel_ = Label::create();
    textLabel_->setFont(style_ == TableViewCellStyle::Value2 ? Font::boldSystem(12) : Font::boldSystem(20));
    if (style_ == TableViewCellStyle::Value2) {
      textLabel_->setTextAlignment(TextAlignment::Right);
      textLabel_->setTextColor(Color::rgb255(82, 102, 145));
    }
    if (!contentView_->superview()) addSubview(contentView_);   // a subclass made with make_shared
    contentView_->addSubview(textLabel_);
    setNeedsLayout();
  }
  return textLabel_;
}

std::shared_ptr<Label> TableViewCell::detailTextLabel() {
  if (!detailLabel_) {
    detailLabel_ = Label::create();
    switch (style_) {
      case TableViewCellStyle::Default: break;
      case TableViewCellStyle::Value1:
        detailLabel_->setFont(Font::system(17));
        detailLabel_->setTextAlignment(TextAlignment::Right);
        detailLabel_->setTextColor(Color::rgb255(56, 84, 135));
        break;
      case TableViewCellStyle::Value2: detailLabel_->setFont(Font::boldSystem(15)); break;
      case TableViewCellStyle::Subtitle:
        detailLabel_->setFont(Font::system(14));
        detailLabel_->setTextColor(Color::gray(0.5));
        break;
    }
    if (!contentView_->superview()) addSubview(contentView_);
    // The Default style has no detail: the label exists for the caller but is never shown.
    if (style_ != TableViewCellStyle::Default) contentView_->addSubview(detailLabel_);
    setNeedsLayout();
  }
  return detailLabel_;
}

std::shared_ptr<ImageView> TableViewCell::imageView() {
  if (!imageView_) {
    imageView_ = ImageView::create();
    if (!contentView_->superview()) addSubview(contentView_);
    contentView_->insertSubview(imageView_, 0);
    setNeedsLayout();
  }
  return imageView_;
}

double TableViewCell::accessoryWidth(TableViewCellAccessoryType type) {
  switch (type) {
    case TableViewCellAccessoryType::None: return 0;
    case TableViewCellAccessoryType::DisclosureIndicator: return 13;
    case TableViewCellAccessoryType::Checkmark: return 14;
    case TableViewCellAccessoryType::DetailDisclosureButton: return 29;
  }
  return 0;
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type) {
  accessoryType_ = type;
  setNeedsLayout();
  layoutIfNeeded();
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view) {
  if (accessoryView_ && accessoryView_ != view && accessoryView_->superview().get() == this) {
    accessoryView_->removeFromSuperview();
  }
  accessoryView_ = std::move(view);
  setNeedsLayout();
  layoutIfNeeded();
}

void TableViewCell::setBackgroundView(std::shared_ptr<View> view) {
  if (backgroundView_ && backgroundView_ != view && backgroundView_->superview().get() == this) {
    backgroundView_->removeFromSuperview();
  }
  backgroundView_ = std::move(view);
  updateBackground();
}

void TableViewCell::setSelectedBackgroundView(std::shared_ptr<View> view) {
  if (selectedBackgroundView_ && selectedBackgroundView_ != view && selectedBackgroundView_->superview().get() == this) {
    selectedBackgroundView_->removeFromSuperview();
  }
  selectedBackgroundView_ = std::move(view);
  updateBackground();
}

void TableViewCell::setSelected(bool selected, bool /*animated*/) {
  selected_ = selected;
  updateBackground();
}

void TableViewCell::setHighlighted(bool highlighted, bool /*animated*/) {
  highlighted_ = highlighted;
  updateBackground();
}

void TableViewCell::updateBackground() {
  bool selectedLook = (selected_ || highlighted_) && selectionStyle_ != TableViewCellSelectionStyle::None &&
                      selectedBackgroundView_ != nullptr;
  auto place = [this](const std::shared_ptr<View>& v, bool show) {
    if (!v) return;
    if (!show) {
      if (v->superview().get() == this) v->removeFromSuperview();
      return;
    }
    v->setFrame(bounds());
    if (v->superview().get() != this) insertSubview(v, 0);
  };
  place(backgroundView_, !selectedLook);
  place(selectedBackgroundView_, selectedLook);
}

std::shared_ptr<TableView> TableViewCell::tableView() const { return table_.lock(); }

void TableViewCell::layoutSubviews() {
  const double w = frame().width;
  const double h = frame().height;
  if (!contentView_->superview()) insertSubview(contentView_, 0);
  updateBackground();

  // Accessory.
  std::shared_ptr<View> accessory = accessoryView_;
  if (!accessory && accessoryType_ == TableViewCellAccessoryType::DetailDisclosureButton) {
    if (!detailButton_) {
      auto button = Button::create(Rect{0, 0, 29, 31});
      std::weak_ptr<View> weakCell = weak_from_this();
      button->addTarget(nullptr, ControlEvent::TouchUpInside, [weakCell](Control&) {
        auto cell = std::static_pointer_cast<TableViewCell>(weakCell.lock());
        if (!cell) return;
        auto table = cell->tableView();
        if (table && cell->indexPath_) table->accessoryButtonTapped(*cell->indexPath_);
      });
      detailButton_ = button;
    }
    accessory = detailButton_;
  }
  if (detailButton_ && accessory != detailButton_ && detailButton_->superview().get() == this) {
    detailButton_->removeFromSuperview();
  }
  double contentWidth = w;
  if (accessory) {
    Rect f = accessory->frame();
    f.x = w - 10 - f.width;
    f.y = (h - f.height) / 2;
    accessory->setFrame(f);
    if (accessory->superview().get() != this) addSubview(accessory);
    contentWidth = f.x - 10;
  } else if (accessoryType_ != TableViewCellAccessoryType::None) {
    contentWidth = w - 10 - accessoryWidth(accessoryType_) - 10;
  }
  contentView_->setFrame(Rect{0, 0, std::max(0.0, contentWidth), h});

  // Picture and texts.
  double textX = 10;
  if (imageView_) {
    Size s = imageView_->image() ? imageView_->image()->size : Size{};
    imageView_->setFrame(Rect{10, (h - s.height) / 2, s.width, s.height});
    if (s.width > 0) textX = 10 + s.width + 10;
  }
  double band = std::max(0.0, contentWidth - textX - 10);
  switch (style_) {
    case TableViewCellStyle::Default:
      if (textLabel_) textLabel_->setFrame(Rect{textX, 0, band, h});
      break;
    case TableViewCellStyle::Value1:
      if (textLabel_) textLabel_->setFrame(Rect{textX, 0, band / 2, h});
      if (detailLabel_) detailLabel_->setFrame(Rect{textX + band / 2, 0, band / 2, h});
      break;
    case TableViewCellStyle::Value2:
      if (textLabel_) textLabel_->setFrame(Rect{10, 0, 67, h});
      if (detailLabel_) detailLabel_->setFrame(Rect{83, 0, std::max(0.0, contentWidth - 83 - 10), h});
      break;
    case TableViewCellStyle::Subtitle: {
      double th = textLabel_ ? textLabel_->font().lineHeight() : 0;
      double dh = detailLabel_ ? detailLabel_->font().lineHeight() : 0;
      double top = (h - th - dh) / 2;
      if (textLabel_) textLabel_->setFrame(Rect{textX, top, band, th});
      if (detailLabel_) detailLabel_->setFrame(Rect{textX, top + th, band, dh});
      break;
    }
  }
}

void TableViewCell::describeExtras(std::string& out) const {
  if (indexPath_) out += " at=" + std::to_string(indexPath_->section) + "," + std::to_string(indexPath_->row);
  if (!accessoryView_) {
    switch (accessoryType_) {
      case TableViewCellAccessoryType::None: break;
      case TableViewCellAccessoryType::DisclosureIndicator: out += " accessory=disclosure"; break;
      case TableViewCellAccessoryType::DetailDisclosureButton: out += " accessory=detail"; break;
      case TableViewCellAccessoryType::Checkmark: out += " accessory=checkmark"; break;
    }
  }
  if (selected_) out += " [selected]";
}

}  // namespace platform::ui
