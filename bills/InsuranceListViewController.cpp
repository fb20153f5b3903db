#include "bills/InsuranceListViewController.h"

#include "app/ui/ViewTool.h"
#include "bills/InsuranceDetailViewController.h"
#include "bills/InsuranceDisplayView.h"
#include "bills/InsuranceScreenParts.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Rect;

std::shared_ptr<InsuranceListViewController> InsuranceListViewController::initWithIsPromotion(bool isPromotion) {
  auto screen = std::make_shared<InsuranceListViewController>();
  screen->isPromotion_ = isPromotion;
  screen->willNotpromotion_ = isPromotion ? "0" : "1";
  return screen;
}

InsuranceListViewController::~InsuranceListViewController() {
  if (listRequest_) listRequest_->cancelRequest();
  if (detailRequest_) detailRequest_->cancelRequest();
}

void InsuranceListViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("Ins_type"));
  const auto& screen = platform::Device::screen().bounds;
  tableView_ = ViewTool::myPlainTableViewWithFrame(Rect{0, 0, screen.width, screen.height - kBarsHeight});
  auto self = std::static_pointer_cast<InsuranceListViewController>(shared_from_this());
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  if (isPromotion_) {
    auto header = platform::ui::View::create(Rect{0, 0, 320, 50});
    auto text = platform::ui::Label::create(Rect{0, 0, 320, 50}, Strings::localized("Ins_Tips1"));
    text->setFont(platform::ui::Font::system(18));
    text->setTextAlignment(platform::ui::TextAlignment::Center);
    text->setBackgroundColor(platform::ui::Color::clear());
    header->addSubview(text);
    tableView_->setTableHeaderView(header);
  }
  view()->addSubview(tableView_);

  std::weak_ptr<InsuranceListViewController> weak = self;
  listRequest_ = InsuranceOperations::getInsuranceList(willNotpromotion_, [weak](InsuranceReply reply) {
    if (auto screen = weak.lock()) screen->listReplied(reply);
  });
  insurance::showIndicatorSoon(self, [weak] {
    auto screen = weak.lock();
    return screen && screen->listRequest_;
  }, false);
}

void InsuranceListViewController::listReplied(const InsuranceReply& reply) {
  listRequest_.reset();
  insurance::hideIndicators(*this, false);
  // Only a list with products replaces the one shown.
  const Json* data = insurance::dataOrPrompt(*this, reply);
  if (data && data->is_array() && !data->empty()) {
    insuranceList_ = *data;
    tableView_->reloadData();
  }
}

void InsuranceListViewController::detailReplied(const InsuranceReply& reply) {
  detailRequest_.reset();
  insurance::hideIndicators(*this, false);
  const Json* data = insurance::dataOrPrompt(*this, reply);
  if (!data) return;
  // A record that is no product cannot be shown or bought.
  if (!data->is_object()) return showPrompt(Strings::localized("Error_Data"));
  if (auto navigation = navigationController()) {
    navigation->push(InsuranceDetailViewController::initWithInsuranceDetailInfo(*data, isPromotion_), true);
  }
}

int InsuranceListViewController::numberOfRows(platform::ui::TableView&, int) {
  return static_cast<int>(insuranceList_.size());
}

std::shared_ptr<platform::ui::TableViewCell> InsuranceListViewController::cellForRow(platform::ui::TableView&,
                                                                                     platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setBackgroundColor(platform::ui::Color::white());
  const Json& entry = insuranceList_.at(static_cast<size_t>(path.row));
  const bool last = path.row + 1 == static_cast<int>(insuranceList_.size());
  auto row = InsuranceDisplayView::initWithWillShowLine(!last, isPromotion_);
  auto text = [&](const char* key) { return InsuranceOperations::text(entry, key); };
  row->setDescription(text("longDescription"));
  row->setTitle(text("isanceName"));
  row->setPrice(text("isancePrice"));
  row->setImageUrl(text("isanceSrc"));
  row->setInsuranceId(text("isanceId"));
  row->setOriginPrice(text("oldPrice"));
  row->setPromoteDescription(text("shortDescription"));
  cell->contentView()->addSubview(row);
  return cell;
}

std::optional<double> InsuranceListViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath) {
  return kRowHeight;
}

void InsuranceListViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, true);
  if (path.row < 0 || path.row >= static_cast<int>(insuranceList_.size())) return;
  // Only the latest touch counts: an earlier detail request still running is let go.
  // Its completion (Cancelled) must not hide the indicator of the new one.
  const uint64_t touch = ++detailTouch_;
  if (detailRequest_) detailRequest_->cancelRequest();
  std::weak_ptr<InsuranceListViewController> weak =
      std::static_pointer_cast<InsuranceListViewController>(shared_from_this());
  insurance::showIndicator(*this, false);
  detailRequest_ = InsuranceOperations::getInsuranceInfo(
      InsuranceOperations::text(insuranceList_.at(static_cast<size_t>(path.row)), "isanceId"),
      [weak, touch](InsuranceReply reply) {
        auto screen = weak.lock();
        if (screen && screen->detailTouch_ == touch) screen->detailReplied(reply);
      });
}

}  // namespace nvx
