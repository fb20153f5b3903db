#include "bills/CityChooseViewController.h"

#include "bills/BillFormParts.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Json;
using platform::ui::Rect;

namespace {
std::string textOf(const Json& entry) { return entry.is_object() ? entry.value("text", std::string()) : std::string(); }
}  // namespace

std::shared_ptr<CityChooseViewController> CityChooseViewController::initWithItems(std::vector<Json> items) {
  auto screen = std::make_shared<CityChooseViewController>();
  screen->items_ = std::move(items);
  return screen;
}

void CityChooseViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle("城市列表");
  const auto& screen = platform::Device::screen().bounds;
  citiListView_ = platform::ui::TableView::create(Rect{0, 0, screen.width, screen.height - kBarsHeight},
                                                  platform::ui::TableViewStyle::Grouped);
  auto self = std::static_pointer_cast<CityChooseViewController>(shared_from_this());
  citiListView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  citiListView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  view()->addSubview(citiListView_);
}

int CityChooseViewController::numberOfRows(platform::ui::TableView&, int) { return static_cast<int>(items_.size()); }

std::shared_ptr<platform::ui::TableViewCell> CityChooseViewController::cellForRow(platform::ui::TableView&,
                                                                                  platform::ui::IndexPath path) {
  const Json& entry = items_[static_cast<size_t>(path.row)];
  auto cell = platform::ui::TableViewCell::create();
  auto label = cell->textLabel();
  label->setText("      " + (titleGeter_ ? titleGeter_(entry) : textOf(entry)));
  label->setFont(platform::ui::Font::system(16));
  auto check = platform::ui::ImageView::create(platform::ui::Image::named("check-on.png"));
  check->setFrame(Rect{12, 12, 20, 20});
  check->setTag(kCheckTag);
  // The chosen area by its name: the chooser may be given another object of the same area.
  check->setHidden(!selectedItem_ || textOf(*selectedItem_) != textOf(entry));
  cell->contentView()->addSubview(check);
  return cell;
}

std::optional<double> CityChooseViewController::heightForHeader(platform::ui::TableView&, int) { return 40.0; }

std::shared_ptr<platform::ui::View> CityChooseViewController::viewForHeader(platform::ui::TableView&, int) {
  return billform::sectionHeader(platform::Strings::localized("SelectArea"), 40);
}

void CityChooseViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  if (static_cast<size_t>(path.row) >= items_.size()) return;
  for (const auto& cell : table.visibleCells()) {
    if (auto check = cell->contentView()->viewWithTag(kCheckTag)) check->setHidden(true);
  }
  if (auto cell = table.cellForRow(path)) {
    if (auto check = cell->contentView()->viewWithTag(kCheckTag)) check->setHidden(false);
  }
  const Json entry = items_[static_cast<size_t>(path.row)];
  selectedItem_ = entry;
  // Kept for the call: the action may let the chooser go.
  auto keep = shared_from_this();
  if (auto action = selectAction_) action(entry);
  if (auto nav = navigationController()) nav->pop(true);
}

}  // namespace nvx
