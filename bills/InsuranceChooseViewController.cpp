#include "bills/InsuranceChooseViewController.h"

#include "bills/InsuranceListViewController.h"
#include "bills/InsuranceViewController.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

namespace {

struct EntryRow {
  const char* picture;
  const char* title;
  const char* description;
};
constexpr EntryRow kRows[] = {{"icon_bxzq.png", "Insurance_Place", "Insurance_Description"},
                              {"icon_cxzq.png", "Financing_Place", "Financing_Description"}};

void push(platform::ui::ViewController& from, std::shared_ptr<platform::ui::ViewController> screen) {
  if (auto navigation = from.navigationController()) navigation->push(std::move(screen), true);
}

}  // namespace

void InsuranceChooseViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("Insurance_Financing"));
  view()->setBackgroundColor(Color::white());
  const auto& screen = platform::Device::screen().bounds;
  tableView_ = platform::ui::TableView::create(Rect{0, 0, screen.width, screen.height - kBarsHeight},
                                               platform::ui::TableViewStyle::Grouped);
  tableView_->setBackgroundView(nullptr);
  auto self = std::static_pointer_cast<InsuranceChooseViewController>(shared_from_this());
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  view()->addSubview(tableView_);
}

std::shared_ptr<platform::ui::Label> InsuranceChooseViewController::lableFrame(Rect frame, std::string title) {
  auto label = platform::ui::Label::create(frame, std::move(title));
  label->setTextAlignment(platform::ui::TextAlignment::Right);
  label->setFont(Font::system(16));
  label->setBackgroundColor(Color::clear());
  return label;
}

int InsuranceChooseViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }

std::shared_ptr<platform::ui::TableViewCell> InsuranceChooseViewController::cellForRow(platform::ui::TableView&,
                                                                                       platform::ui::IndexPath path) {
  const EntryRow& row = kRows[path.row == 0 ? 0 : 1];
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
  auto picture = platform::ui::ImageView::create(platform::ui::Image::named(row.picture));
  picture->setFrame(Rect{10, 15, 90, 100});
  cell->contentView()->addSubview(picture);
  auto title = platform::ui::Label::create(Rect{110, 15, 170, 24}, Strings::localized(row.title));
  title->setFont(Font::system(18));
  title->setTextColor(Color::rgb255(255, 128, 0));
  title->setBackgroundColor(Color::clear());
  cell->contentView()->addSubview(title);
  auto description = platform::ui::Label::create(Rect{110, 42, 170, 80}, Strings::localized(row.description));
  description->setFont(Font::system(16));
  description->setTextColor(Color::gray(0.2));
  description->setNumberOfLines(0);
  description->setBackgroundColor(Color::clear());
  cell->contentView()->addSubview(description);
  return cell;
}

std::optional<double> InsuranceChooseViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath) {
  return 130.0;
}

void InsuranceChooseViewController::didSelectRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  if (path.row == 0) {
    push(*this, std::make_shared<InsuranceViewController>());
  } else {
    push(*this, InsuranceListViewController::initWithIsPromotion(true));
  }
}

}  // namespace nvx
