// A list picker of areas (type 0) or countries (type 1): the server's list filed under the
// upper-cased first letter of each entry's spelling, one section per letter in sorted order, with
// a section index of the letters and a blank. A touch on an entry tells the delegate and closes
// the picker.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/InsuranceOperations.h"
#include "platform/foundation/Json.h"
#include "platform/ui/TableView.h"

namespace nvx {

class CitySelectViewController;

class CitySelectPopDelegate {
 public:
  virtual ~CitySelectPopDelegate() = default;
  virtual void didSelectDone(CitySelectViewController& picker, const platform::Json& cityInfo) = 0;
};

class CitySelectViewController : public NVXViewController,
                                 public platform::ui::TableViewDataSource,
                                 public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "CitySelectViewController";
  static constexpr int kAreaType = 0;
  static constexpr int kCountryType = 1;

  static std::shared_ptr<CitySelectViewController> initWithTitle(std::string title, MainApiRequest request);
  // A request still running is cancelled; its completion finds no screen.
  ~CitySelectViewController() override;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // The full address of the list request.
  std::string urlString() const;
  int type() const { return type_; }
  void setType(int type) { type_ = type; }
  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }
  void setDelegate(std::weak_ptr<CitySelectPopDelegate> delegate) { delegate_ = std::move(delegate); }
  const std::map<std::string, std::vector<platform::Json>>& cityDic() const { return cityDic_; }
  const std::vector<std::string>& charactorArray() const { return charactorArray_; }
  const std::shared_ptr<CustomTableView>& tableView() const { return tableView_; }

  // The entries of a list filed by letter: entries without a spelling text are left out (they
  // cannot be filed, nor shown).
  void fileEntries(const platform::Json& list);
  // The section index: the letters, then one blank entry.
  std::vector<std::string> sectionIndexTitles() const;
  // The section an index entry leads to; nothing for the blank entry (no such section).
  std::optional<int> sectionForSectionIndexTitle(int index) const;
  // A touch on an index entry scrolls to its section, when there is one.
  void touchSectionIndex(int index);

  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::optional<std::string> titleForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 private:
  const char* spellingKey() const { return type_ == kCountryType ? "countryCnPy" : "cNmC"; }
  const char* nameKey() const { return type_ == kCountryType ? "countryNameCn" : "cNm"; }
  const platform::Json* entryAt(platform::ui::IndexPath path) const;
  void replied(const InsuranceReply& reply);

  MainApiRequest request_ = MainApiRequest::get("", Identity::None);
  int type_ = kAreaType;
  int tag_ = 0;
  std::weak_ptr<CitySelectPopDelegate> delegate_;
  std::map<std::string, std::vector<platform::Json>> cityDic_;
  std::vector<std::string> charactorArray_;
  std::shared_ptr<CustomTableView> tableView_;
  std::shared_ptr<NetService> listRequest_;
};

}  // namespace nvx
