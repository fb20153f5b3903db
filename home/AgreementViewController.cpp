#include "home/AgreementViewController.h"

#include "app/ui/DetailAgreementViewController.h"
#include "app/ui/ServiceAgreement.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

std::optional<std::string> AgreementViewController::keyOfClause(const std::vector<std::string>& keys, int number) {
  const std::string prefix = std::to_string(number) + ".";
  for (const auto& key : keys) {
    if (key.starts_with(prefix)) return key;
  }
  return std::nullopt;
}

void AgreementViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  const Rect screen = ui::Screen::bounds();
  agreementTable_ = ui::TableView::create(Rect{0, 0, screen.width, screen.height - kBarsHeight}, ui::TableViewStyle::Grouped);
  agreementTable_->setBackgroundColor(ui::Color::clear());
  agreementTable_->setBackgroundView(nullptr);
  const auto self = std::static_pointer_cast<AgreementViewController>(shared_from_this());
  agreementTable_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(self));
  agreementTable_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(self));
  serviceDic_ = ServiceAgreement::clauses();
  if (serviceKey_.empty()) {
    for (const auto& [key, text] : serviceDic_) serviceKey_.push_back(key);
  }
  view()->addSubview(agreementTable_);
}

void AgreementViewController::viewDidUnload() {
  NVXViewController::viewDidUnload();
  agreementTable_.reset();
  serviceDic_.clear();
  serviceKey_.clear();
}

int AgreementViewController::numberOfRows(ui::TableView&, int) { return static_cast<int>(serviceKey_.size()); }

std::optional<double> AgreementViewController::heightForRow(ui::TableView&, ui::IndexPath path) {
  auto key = keyOfClause(serviceKey_, path.row + 1);
  if (!key) return 44;
  return ui::TextMetrics::measure(*key, ui::Font::system(16), ui::Size{kTextWidth, 0}).height + 22;
}

std::shared_ptr<ui::TableViewCell> AgreementViewController::cellForRow(ui::TableView&, ui::IndexPath path) {
  auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, "cellID");
  cell->setBackgroundColor(ui::Color::white());
  cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
  auto key = keyOfClause(serviceKey_, path.row + 1);
  if (!key) return cell;
  auto label = cell->textLabel();
  label->setText(*key);
  label->setNumberOfLines(0);
  label->setFont(ui::Font::system(16));
  label->setTextColor(ui::Color::gray(0.2));
  return cell;
}

std::optional<double> AgreementViewController::heightForHeader(ui::TableView&, int section) {
  return section == 0 ? std::optional<double>(20) : std::nullopt;
}

std::shared_ptr<ui::View> AgreementViewController::viewForHeader(ui::TableView&, int section) {
  if (section != 0) return nullptr;
  auto header = ui::View::create(Rect{0, 0, 320, 20});
  header->setBackgroundColor(ui::Color::clear());
  return header;
}

void AgreementViewController::didSelectRow(ui::TableView& table, ui::IndexPath path) {
  table.deselectRow(path, true);
  auto detail = DetailAgreementViewController::create();
  if (auto key = keyOfClause(serviceKey_, path.row + 1)) detail->setServiceKey(*key);
  if (auto nav = navigationController()) nav->push(detail, true);
}

}  // namespace nvx
