#include "app/reader/SwiperInvalidViewController.h"

#include "core/shell/AppServices.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/ButtonExt.h"
#include "app/ui/LabelExt.h"
#include "app/ui/ViewTool.h"
#include "platform/device/Device.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "reader/DHSwiperController.h"

namespace nvx::reader {

namespace {

using platform::ui::Color;
using platform::ui::IndexPath;
using platform::ui::Rect;
using platform::ui::TableViewCell;

constexpr const char* kTag = "SwiperInvalidViewController";

// Status bar and navigation bar.
constexpr double kBarsHeight = 20 + 44;

}  // namespace

std::shared_ptr<SwiperInvalidViewController> SwiperInvalidViewController::create() {
  return std::make_shared<SwiperInvalidViewController>();
}

void SwiperInvalidViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  model_.setIsOtherUnitsOpen(false);

  const auto& screen = platform::Device::screen().bounds;
  tableView_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, screen.width, screen.height - kBarsHeight});
  auto self = std::static_pointer_cast<SwiperInvalidViewController>(shared_from_this());
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  tableView_->setTableFooterView(makeFooter());
  view()->addSubview(tableView_);

  model_.readCurrentUnit();
  saveButton_->setEnabled(model_.isSaveEnabled());

  // The lottery top-up form keeps its amount through the detour to this chooser.
  auto target = std::dynamic_pointer_cast<NVXViewController>(model_.nextStepTarget().lock());
  if (target && target->className() == kLotteryTopUpClass) target->setNeedClearView(false);
}

std::shared_ptr<platform::ui::View> SwiperInvalidViewController::makeFooter() {
  auto footer = platform::ui::View::create(Rect{0, 0, 320, 100});
  footer->setBackgroundColor(Color::clear());

  auto note = LabelExt::lableFrame(Rect{10, -12, 310, 30},
                                   std::string(kFooterPrefix) + platform::Strings::localized("ServicePhoneNumber"));
  note->setFont(platform::ui::Font::system(14));
  note->setTextColor(Color::gray(0.5));
  note->setNumberOfLines(0);
  footer->addSubview(note);

  saveButton_ = ButtonCreater::bigButtonWithText(kSaveTitle);
  saveButton_->setCenter(platform::ui::Point{160, 40});
  saveButton_->setExclusiveTouch(true);
  std::weak_ptr<SwiperInvalidViewController> weak = std::static_pointer_cast<SwiperInvalidViewController>(shared_from_this());
  saveButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->save();
  });
  footer->addSubview(saveButton_);
  return footer;
}

void SwiperInvalidViewController::reload() {
  if (tableView_) tableView_->reloadData();
}

void SwiperInvalidViewController::setNextStepTarget(std::weak_ptr<platform::ui::ViewController> target) {
  model_.setNextStepTarget(std::move(target));
}

void SwiperInvalidViewController::setUnitArray(std::vector<Unit> units) {
  model_.setUnitArray(std::move(units));
  reload();
}

void SwiperInvalidViewController::setTaviPresent(bool present) {
  if (present) {
    onTaviConnected();
  } else {
    onTaviDisConnected();
  }
}

void SwiperInvalidViewController::onTaviConnected() {
  if (model_.onTaviConnected()) reload();
}

void SwiperInvalidViewController::onTaviDisConnected() {
  if (model_.onTaviDisConnected()) reload();
}

void SwiperInvalidViewController::toggleOtherUnits() {
  model_.toggleOtherUnits();
  reload();
}

void SwiperInvalidViewController::save() {
  auto hub = AppServices::current().swiper();
  if (!hub) {
    // Without a hub there is no reader to switch; the chooser still goes away.
    platform::log::warning(kTag, "no reader hub to take the chosen model");
    if (auto navigation = DHSwiperController::navigationControllerForTarget(model_.nextStepTarget().lock())) {
      navigation->pop(true);
    }
    return;
  }
  model_.save(*hub);
}

// --- table ------------------------------------------------------------------------------------------

std::optional<int> SwiperInvalidViewController::numberOfSections(platform::ui::TableView&) {
  return model_.numberOfSections();
}

int SwiperInvalidViewController::numberOfRows(platform::ui::TableView&, int section) {
  return model_.numberOfRowsInSection(section);
}

std::shared_ptr<TableViewCell> SwiperInvalidViewController::cellForRow(platform::ui::TableView&, IndexPath path) {
  auto cell = TableViewCell::create(platform::ui::TableViewCellStyle::Default, "cell" + std::to_string(path.row));
  if (path.section == UnitChooserModel::kPictureSection) {
    cell->setBackgroundColor(Color::gray(0.5));
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    if (auto old = cell->viewWithTag(kPictureTag)) old->removeFromSuperview();
    auto frame = platform::ui::View::create(Rect{66, 36, 168, 60});
    frame->setTag(kPictureTag);
    auto picture = platform::ui::ImageView::create(platform::ui::Image::named("swiper_image.png"));
    picture->setCenter(platform::ui::Point{84, 30});
    frame->addSubview(picture);
    cell->contentView()->addSubview(frame);
    return cell;
  }
  if (path.section == UnitChooserModel::kOtherSection && path.row == 0) {
    cell->textLabel()->setText(kOtherUnitsRow);
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    std::weak_ptr<SwiperInvalidViewController> weak =
        std::static_pointer_cast<SwiperInvalidViewController>(shared_from_this());
    auto toggle = ButtonExt::buttonWithFrame(
        Rect{0, 8, 24, 24}, platform::ui::Image::named(model_.isOtherUnitsOpen() ? "swiper_expand_up.png" : "swiper_expand_down.png"),
        this, [weak](platform::ui::Control&) {
          if (auto screen = weak.lock()) screen->toggleOtherUnits();
        });
    cell->setAccessoryView(toggle);
    return cell;
  }
  if (const Unit* unit = model_.unitAt(path.section, path.row)) {
    cell->textLabel()->setText(unit->unitname().value_or(""));
    if (model_.isCheckedRow(path.section, path.row)) {
      cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::Checkmark);
    }
  }
  return cell;
}

std::optional<double> SwiperInvalidViewController::heightForRow(platform::ui::TableView&, IndexPath path) {
  return path.section == UnitChooserModel::kPictureSection ? kPictureRowHeight : kRowHeight;
}

std::optional<double> SwiperInvalidViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == UnitChooserModel::kCommonSection ? 30.0 : 5.0;
}

std::shared_ptr<platform::ui::View> SwiperInvalidViewController::viewForHeader(platform::ui::TableView&, int section) {
  if (section != UnitChooserModel::kCommonSection) return nullptr;
  auto header = platform::ui::View::create(Rect{0, 0, 200, 30});
  header->addSubview(LabelExt::lableFrame(Rect{15, 0, 170, 30}, kCommonHeader));
  return header;
}

void SwiperInvalidViewController::didSelectRow(platform::ui::TableView& table, IndexPath path) {
  table.deselectRow(path, true);
  if (!model_.selectRow(path.section, path.row)) return;   // the header row and the picture
  for (const auto& cell : table.visibleCells()) {
    cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::None);
  }
  if (auto cell = table.cellForRow(path)) cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::Checkmark);
  if (saveButton_) saveButton_->setEnabled(model_.isSaveEnabled());
}

}  // namespace nvx::reader
