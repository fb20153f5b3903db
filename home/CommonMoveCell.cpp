#include "home/CommonMoveCell.h"

#include "app/ui/NVXImage.h"
#include "app/ui/ViewExt.h"
#include "home/UpdateDataUtil.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

namespace {

std::string lookup(const std::map<std::string, std::string>& table, const std::string& key) {
  auto it = table.find(key);
  return it == table.end() ? std::string() : it->second;
}

}  // namespace

CommonMoveCell::CommonMoveCell(std::string reuseIdentifier)
    : TableViewCell(ui::TableViewCellStyle::Subtitle, std::move(reuseIdentifier)) {}

std::shared_ptr<CommonMoveCell> CommonMoveCell::initWithReuseIdentifier(std::string reuseIdentifier) {
  auto cell = std::make_shared<CommonMoveCell>(std::move(reuseIdentifier));
  cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
  cell->businessLabel_ = ui::Label::create(Rect{90, 10, 200, 15});
  cell->businessLabel_->setFont(ui::Font::system(16));
  cell->introduceLabel_ = ui::Label::create(Rect{90, 30, 200, 15});
  cell->introduceLabel_->setFont(ui::Font::system(12));
  cell->introduceLabel_->setNumberOfLines(0);
  cell->backgroundImage_ = ui::ImageView::create(Rect{40, 10, 45, 45});
  cell->businessImage_ = ui::ImageView::create(Rect{0, 0, 45, 45});
  cell->backgroundImage_->addSubview(cell->businessImage_);
  cell->tipmessageImage_ = ui::ImageView::create(Rect{60, 0, 35, 15});
  cell->updateImage_ = ui::ImageView::create(ui::Image::named("second_icon_update.png"));
  cell->updateImage_->setFrame(Rect{0, 0, 24, 12});
  cell->updateImage_->setHidden(true);
  cell->addImagev_ = ui::ImageView::create(ui::Image::named("second_icon_new.png"));
  cell->addImagev_->setFrame(Rect{0, 0, 25, 12});
  cell->addImagev_->setHidden(true);
  cell->businessLabel_->addSubview(cell->updateImage_);
  cell->businessLabel_->addSubview(cell->addImagev_);
  const auto& content = cell->contentView();
  content->addSubview(cell->backgroundImage_);
  content->addSubview(cell->businessLabel_);
  content->addSubview(cell->introduceLabel_);
  content->addSubview(cell->tipmessageImage_);
  return cell;
}

void CommonMoveCell::updateHomeBoxData(const HomeBoxData& box) {
  businessLabel_->setText(box.title());
  backgroundImage_->setImage(NVXImage::imageNamed("second_icon_bg.png"));
  businessImage_->setImage(ui::Image::named(box.secondImageName()));
}

void CommonMoveCell::showBadge(const std::shared_ptr<ui::ImageView>& shown, const std::shared_ptr<ui::ImageView>& hidden,
                               double width) {
  const double titleWidth = ui::TextMetrics::width(businessLabel_->text(), ui::Font::system(16));
  shown->setFrame(Rect{titleWidth + 5, 0, width, 12});
  shown->setHidden(false);
  hidden->setHidden(true);
}

void CommonMoveCell::updateWithServListEntity(const ServListEntity& service, const HomeBoxData& box) {
  updateHomeBoxData(box);
  if (service.updateAsBool()) showBadge(updateImage_, addImagev_, 38);
}

void CommonMoveCell::updateUpdateAddBusiness(const HomeBoxData& /*box*/) { showBadge(updateImage_, addImagev_, 38); }

void CommonMoveCell::updateNewAddBusiness(const HomeBoxData& /*box*/) { showBadge(addImagev_, updateImage_, 25); }

void CommonMoveCell::updateTip(const std::string& tip) {
  if (ui::TextMetrics::width(tip, ui::Font::system(14)) > kTipWidth) introduceLabel_->setFrame(Rect{75, 27, 200, 30});
  introduceLabel_->setText(tip);
}

void CommonMoveCell::resetImageView() {
  businessLabel_->setFrame(Rect{75, 10, 200, 15});
  introduceLabel_->setFrame(Rect{75, 27, 200, 15});
  backgroundImage_->setFrame(Rect{20, 10, 45, 45});
}

void CommonMoveCell::addLine() {
  contentView()->addSubview(ViewExt::colorViewWithFrame(Rect{-60, 64, 380, 1}, ui::Color::gray(0.83), 0.75));
}

void CommonMoveCell::fillRow(const HomeBoxData& box, const std::vector<std::shared_ptr<ServListEntity>>& services,
                             const std::map<std::string, std::string>& tips,
                             const std::map<std::string, std::string>& updateTips) {
  std::shared_ptr<ServListEntity> service;
  for (const auto& s : services) {
    if (s && s->servIdText() == box.busId()) {
      service = s;
      break;
    }
  }
  const std::string& title = box.title();
  if (!service) {
    updateHomeBoxData(box);
    if (UpdateDataUtil::isUpdateByHomeData(box)) {
      updateUpdateAddBusiness(box);
      updateTip(lookup(updateTips, title));
    } else {
      updateTip(lookup(tips, title));
    }
  } else {
    updateWithServListEntity(*service, box);
    if (auto note = service->updateNote()) {
      updateTip(*note);
    } else if (service->updateIsEmpty()) {
      updateTip(lookup(tips, title));
    } else if (updateTips.count(title) && service->updateAsInt() != 0) {
      updateTip(lookup(updateTips, title));
    } else {
      updateTip(lookup(tips, title));
    }
  }
  if (UpdateDataUtil::isNewBussiness(box)) updateNewAddBusiness(box);
}

}  // namespace nvx
