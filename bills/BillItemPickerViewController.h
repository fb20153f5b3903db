// The list screens the donation and game-card forms choose from (agencies, projects, card types,
// denominations): the entries the server lists, in reply order, under a header; the entry whose
// text equals the one the form shows carries a tick; a tap reports the entry's name and code to
// the form and closes the list. Each list is fetched whenever the screen opens.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/foundation/Json.h"
#include "platform/ui/TableView.h"

namespace nvx {

class BillItemPickerViewController : public NVXViewController,
                                     public platform::ui::TableViewDataSource,
                                     public platform::ui::TableViewDelegate {
 public:
  static constexpr int kTickTag = 1000;
  static constexpr int kNameTag = 1111;

  struct Item {
    std::string name;
    std::string code;
  };

  void viewDidLoad() override;

  const std::vector<Item>& items() const { return items_; }
  // The reply's objects behind the items, in the same order.
  const std::vector<platform::Json>& entries() const { return entries_; }
  const std::string& defaultSeletedItem() const { return defaultSeletedItem_; }
  void setDefaultSeletedItem(std::string v) { defaultSeletedItem_ = std::move(v); }
  const std::shared_ptr<CustomTableView>& itemTableView() const { return itemTableView_; }
  // The row whose tick shows, if any.
  std::optional<size_t> tickedRow() const;

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 protected:
  // The header text (which list this is).
  virtual std::string headerText() const = 0;
  // The entry of one reply object; nothing to skip it.
  virtual std::optional<Item> itemOf(const platform::Json& entry) const = 0;
  // How a row's text is shown.
  virtual std::string rowText(const Item& item) const { return item.name; }
  virtual void report(const Item& item) = 0;

  // Fetches the list at that address path (with its "/argument" when it has one); the derived
  // screen asks for its list when its view has loaded.
  void requestList(std::string path);

 private:
  std::vector<Item> items_;
  std::vector<platform::Json> entries_;
  std::string defaultSeletedItem_;
  std::optional<size_t> chosen_;
  std::shared_ptr<CustomTableView> itemTableView_;
};

}  // namespace nvx
