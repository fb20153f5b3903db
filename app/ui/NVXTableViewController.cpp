#include "app/ui/NVXTableViewController.h"

#include "app/ui/ButtonExt.h"
#include "platform/device/Device.h"
#include "platform/ui/Image.h"

namespace nvx {

NVXTableViewController::~NVXTableViewController() = default;

std::shared_ptr<NVXTableViewController> NVXTableViewController::create() {
  return std::make_shared<NVXTableViewController>();
}

void NVXTableViewController::releaseSomething() {
  tableView_.reset();
  NVXBaseViewController::releaseSomething();
}

void NVXTableViewController::addTable(std::shared_ptr<CMTableView> table) {
  auto self = std::static_pointer_cast<NVXTableViewController>(shared_from_this());
  table->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  table->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_ = std::move(table);
  view()->addSubview(tableView_);
}

void NVXTableViewController::addGroupTableView() {
  const auto& screen = platform::Device::screen().bounds;
  auto table = CMTableView::myGroupedTableViewWithFrame(
      platform::ui::Rect{0, 0, screen.width, screen.height - kBarsHeight});
  table->setBackgroundView(nullptr);
  addTable(std::move(table));
}

void NVXTableViewController::addSimpleTableView() {
  const auto& screen = platform::Device::screen().bounds;
  addTable(CMTableView::myPlainTableViewWithFrame(platform::ui::Rect{0, 0, screen.width, screen.height - kBarsHeight}));
}

void NVXTableViewController::addNextButton(platform::ui::Point center) {
  NVXBaseViewController::addNextButton(center);
  if (tableView_ && theNextButton_) tableView_->addSubview(theNextButton_);
}

std::shared_ptr<platform::ui::Button> NVXTableViewController::defaultGroupCellAccessoryPickTelButton() {
  std::weak_ptr<NVXViewController> weak = weakSelf();
  return ButtonExt::buttonWithFrame(kPickTelButtonFrame, platform::ui::Image::named("add.png"), this,
                                    [weak](platform::ui::Control&) {
                                      if (auto screen = weak.lock()) screen->getPhoneNumberFromAddressBook();
                                    });
}

int NVXTableViewController::numberOfRows(platform::ui::TableView&, int) { return 0; }

std::shared_ptr<platform::ui::TableViewCell> NVXTableViewController::cellForRow(platform::ui::TableView&,
                                                                                platform::ui::IndexPath) {
  return nullptr;
}

void NVXTableViewController::didSelectRow(platform::ui::TableView&, platform::ui::IndexPath) {}

}  // namespace nvx
