#include "app/ui/DetailAgreementViewController.h"

#include "app/ui/ServiceAgreement.h"
#include "app/ui/ViewTool.h"
#include "platform/device/Device.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

namespace {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

}  // namespace

std::shared_ptr<DetailAgreementViewController> DetailAgreementViewController::create() {
  return std::make_shared<DetailAgreementViewController>();
}

void DetailAgreementViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(serviceKey_);
  service_ = ServiceAgreement::clause(serviceKey_);

  const auto& screen = platform::Device::screen().bounds;
  serviceTable_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, screen.width, screen.height - kBarsHeight});
  auto self = std::static_pointer_cast<DetailAgreementViewController>(shared_from_this());
  serviceTable_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  serviceTable_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  view()->addSubview(serviceTable_);
}

void DetailAgreementViewController::viewDidUnload() {
  NVXViewController::viewDidUnload();
  serviceKey_.clear();
  serviceTable_.reset();
  service_.reset();
}

std::optional<int> DetailAgreementViewController::numberOfSections(platform::ui::TableView&) { return 1; }

int DetailAgreementViewController::numberOfRows(platform::ui::TableView&, int) { return 1; }

std::shared_ptr<platform::ui::TableViewCell> DetailAgreementViewController::cellForRow(platform::ui::TableView&,
                                                                                       platform::ui::IndexPath) {
  auto cell = platform::ui::TableViewCell::create(platform::ui::TableViewCellStyle::Default, kCellId);
  cell->setBackgroundColor(Color::white());
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  auto label = cell->textLabel();
  label->setText(service_.value_or(""));
  label->setFont(Font::system(kTextFontSize));
  label->setTextColor(Color{0.2, 0.2, 0.2, 1});
  label->setNumberOfLines(0);
  return cell;
}

std::optional<double> DetailAgreementViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath) {
  if (!service_ || service_->empty()) return kRowPadding;
  auto size = platform::ui::TextMetrics::measure(*service_, Font::system(kTextFontSize),
                                                 platform::ui::Size{kTextWidth, 1e9});
  return size.height + kRowPadding;
}

std::optional<double> DetailAgreementViewController::heightForHeader(platform::ui::TableView&, int section) {
  if (section == 0) return 20;
  return std::nullopt;
}

std::shared_ptr<platform::ui::View> DetailAgreementViewController::viewForHeader(platform::ui::TableView&, int) {
  auto header = platform::ui::View::create(Rect{0, 0, 320, 20});
  header->setBackgroundColor(Color::clear());
  return header;
}

}  // namespace nvx
