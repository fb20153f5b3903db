#include "bills/CitySelectViewController.h"

#include <algorithm>

#include "app/ui/ViewTool.h"
#include "bills/InsuranceScreenParts.h"
#include "core/text/StringsTool.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Json;
using platform::ui::Rect;

std::shared_ptr<CitySelectViewController> CitySelectViewController::initWithTitle(std::string title,
                                                                                MainApiRequest request) {
  auto picker = std::make_shared<CitySelectViewController>();
  picker->setTitle(std::move(title));
  picker->request_ = std::move(request);
  return picker;
}

CitySelectViewController::~CitySelectViewController() {
  if (listRequest_) listRequest_->cancelRequest();
}

std::string CitySelectViewController::urlString() const { return request_.url(); }

void CitySelectViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  const auto& screen = platform::Device::screen().bounds;
  tableView_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, screen.width, screen.height - kBarsHeight});
  auto self = std::static_pointer_cast<CitySelectViewController>(shared_from_this());
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  view()->addSubview(tableView_);
  cityDic_.clear();
  charactorArray_.clear();

  std::weak_ptr<CitySelectViewController> weak = self;
  listRequest_ = InsuranceOperations::getList(request_, [weak](InsuranceReply reply) {
    if (auto picker = weak.lock()) picker->replied(reply);
  });
  insurance::showIndicatorSoon(self, [weak] {
    auto picker = weak.lock();
    if (!picker || !picker->listRequest_) return false;
    insurance::hideIndicators(*picker, false);
    return true;
  }, false);
}

void CitySelectViewController::replied(const InsuranceReply& reply) {
  listRequest_.reset();
  insurance::hideIndicators(*this, false);
  switch (reply.outcome) {
    case InsuranceReply::Outcome::Data:
      if (reply.data.is_array()) {
        fileEntries(reply.data);
        tableView_->reloadData();
      }
      return;
    case InsuranceReply::Outcome::NoAnswer:
      showPrompt(platform::Strings::localized("NetWord_Failed"));
      return;
    case InsuranceReply::Outcome::Refused:
      showPrompt(reply.message);
      return;
    case InsuranceReply::Outcome::Silent:
      return;
  }
}

void CitySelectViewController::fileEntries(const Json& list) {
  for (const Json& entry : list) {
    const std::string spelling = InsuranceOperations::text(entry, spellingKey());
    if (spelling.empty()) continue;
    const std::string letter = StringsTool::upString(platform::u16substr(spelling, 0, 1));
    cityDic_[letter].push_back(entry);
  }
  charactorArray_.clear();
  for (const auto& [letter, entries] : cityDic_) charactorArray_.push_back(letter);
  std::sort(charactorArray_.begin(), charactorArray_.end());
}

std::vector<std::string> CitySelectViewController::sectionIndexTitles() const {
  std::vector<std::string> titles = charactorArray_;
  titles.push_back(" ");
  return titles;
}

std::optional<int> CitySelectViewController::sectionForSectionIndexTitle(int index) const {
  if (index < 0 || index >= static_cast<int>(charactorArray_.size())) return std::nullopt;
  return index;
}

void CitySelectViewController::touchSectionIndex(int index) {
  auto section = sectionForSectionIndexTitle(index);
  if (!section || !tableView_) return;
  tableView_->scrollToRow({*section, 0}, platform::ui::TableViewScrollPosition::Top, false);
}

const Json* CitySelectViewController::entryAt(platform::ui::IndexPath path) const {
  if (path.section < 0 || path.section >= static_cast<int>(charactorArray_.size())) return nullptr;
  const auto& entries = cityDic_.at(charactorArray_[static_cast<size_t>(path.section)]);
  if (path.row < 0 || path.row >= static_cast<int>(entries.size())) return nullptr;
  return &entries[static_cast<size_t>(path.row)];
}

std::optional<int> CitySelectViewController::numberOfSections(platform::ui::TableView&) {
  return static_cast<int>(charactorArray_.size());
}

int CitySelectViewController::numberOfRows(platform::ui::TableView&, int section) {
  if (section < 0 || section >= static_cast<int>(charactorArray_.size())) return 0;
  return static_cast<int>(cityDic_.at(charactorArray_[static_cast<size_t>(section)]).size());
}

std::optional<std::string> CitySelectViewController::titleForHeader(platform::ui::TableView&, int section) {
  if (section < 0 || section >= static_cast<int>(charactorArray_.size())) return std::nullopt;
  return charactorArray_[static_cast<size_t>(section)];
}

std::shared_ptr<platform::ui::TableViewCell> CitySelectViewController::cellForRow(platform::ui::TableView&,
                                                                                  platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  if (const Json* entry = entryAt(path)) cell->textLabel()->setText(InsuranceOperations::text(*entry, nameKey()));
  return cell;
}

void CitySelectViewController::didSelectRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  const Json* entry = entryAt(path);
  if (!entry) return;
  const Json chosen = *entry;
  auto keep = shared_from_this();
  if (auto delegate = delegate_.lock()) delegate->didSelectDone(*this, chosen);
  if (auto navigation = navigationController()) navigation->pop(true);
}

}  // namespace nvx
