#include "bills/InsuranceRullViewController.h"

#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Hud.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Json;
using platform::ui::Color;
using platform::ui::Rect;

std::shared_ptr<InsuranceRullViewController> InsuranceRullViewController::initWithInsuranceInfo(Json insuranceInfo) {
  auto screen = std::make_shared<InsuranceRullViewController>();
  if (insuranceInfo.is_object()) screen->insuranceInfo_ = std::move(insuranceInfo);
  return screen;
}

InsuranceRullViewController::~InsuranceRullViewController() {
  if (request_) request_->cancelRequest();
}

void InsuranceRullViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(platform::Strings::localized("Insurance_Rules"));
  const auto& screen = platform::Device::screen().bounds;
  tableView_ = platform::ui::TableView::create(Rect{5, 0, screen.width - 10, screen.height - kBarsHeight},
                                               platform::ui::TableViewStyle::Grouped);
  tableView_->setScrollEnabled(false);
  tableView_->setBackgroundColor(Color::clear());
  tableView_->setShowsVerticalScrollIndicator(false);
  auto self = std::static_pointer_cast<InsuranceRullViewController>(shared_from_this());
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));

  nameLabel_ = platform::ui::Label::create(Rect{10, 13, screen.width - 40, 24},
                                           InsuranceOperations::text(insuranceInfo_, "isanceName"));
  nameLabel_->setFont(platform::ui::Font::system(18));
  nameLabel_->setBackgroundColor(Color::clear());
  webView_ = platform::ui::WebView::create(Rect{0, 0, screen.width - 10, screen.height - 149});
  view()->addSubview(tableView_);
  tableView_->reloadData();

  platform::ui::Hud::showOn(*view(), true);
  std::weak_ptr<InsuranceRullViewController> weak = self;
  request_ = InsuranceOperations::getRules(InsuranceOperations::text(insuranceInfo_, "isanceId"),
                                           [weak](InsuranceReply reply) {
                                             if (auto screen = weak.lock()) screen->replied(reply);
                                           });
}

void InsuranceRullViewController::replied(const InsuranceReply& reply) {
  request_.reset();
  platform::ui::Hud::hideAll(*view(), true);
  switch (reply.outcome) {
    case InsuranceReply::Outcome::Data:
      if (reply.data.is_array() && !reply.data.empty()) {
        webView_->loadHTMLString(InsuranceOperations::text(reply.data.front(), "aContent"));
      }
      return;
    case InsuranceReply::Outcome::Refused:
      showPrompt(reply.message);
      return;
    case InsuranceReply::Outcome::NoAnswer:
      showPrompt(platform::Strings::localized("NetWord_Failed"));
      return;
    case InsuranceReply::Outcome::Silent:
      return;
  }
}

int InsuranceRullViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }

std::shared_ptr<platform::ui::TableViewCell> InsuranceRullViewController::cellForRow(platform::ui::TableView&,
                                                                                     platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  if (path.row == 0) {
    cell->setBackgroundColor(Color::rgb255(222, 244, 253));
    cell->contentView()->addSubview(nameLabel_);
  } else {
    cell->setBackgroundColor(Color::white());
    cell->contentView()->addSubview(webView_);
  }
  return cell;
}

std::optional<double> InsuranceRullViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  return path.row == 0 ? 50.0 : platform::Device::screen().bounds.height - 149;
}

}  // namespace nvx
