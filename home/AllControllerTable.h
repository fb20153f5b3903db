// The applications list: every business of the catalogue in four groups behind a tab bar, one
// row per business with a tick box. Ticking puts the business on the common page being edited
// (just before its Add box), unticking takes it off; Save hands the edited page to the delegate
// (the home screen), the back button discards every change. Presented modally in a navigation
// controller of its own.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "core/models/ServiceGroupEntity.h"
#include "home/ClassifyView.h"
#include "home/HomeBoxData.h"
#include "platform/ui/TableView.h"

namespace nvx {

class AllControllerTable : public NVXViewController,
                           public platform::ui::TableViewDataSource,
                           public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "AllControllerTable";
  static constexpr const char* kTitle = "应用列表";
  static constexpr const char* kSelectedImage = "sel_btn_selected.png";
  static constexpr const char* kUnselectedImage = "sel_btn.png";

  static std::shared_ptr<AllControllerTable> create();
  std::string className() const override { return kClassName; }

  // Set by the presenter before the screen shows: every box of the catalogue, the common page
  // (its last box is the Add box) and what Save hands back (reloadTheCommonView).
  void setItems(HomeBoxList items) { items_ = std::move(items); }
  void setExistArray(HomeBoxList page) { existArray_ = std::move(page); }
  std::function<void(const HomeBoxList&)> delegate;

  void viewDidLoad() override;
  void save();
  void backButtonPressed() override;
  void selectTheClassify(unsigned tab);

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

  // --- state (the tests read it) ---
  const HomeBoxList& existArray() const { return existArray_; }
  const HomeBoxList& compareArray() const { return compareArray_; }
  const HomeBoxList& nowArray() const { return nowArray_; }
  const std::map<std::string, bool>& existDic() const { return existDic_; }
  const std::shared_ptr<platform::ui::TableView>& allCtrTable() const { return allCtrTable_; }
  const std::shared_ptr<ClassifyView>& classifyView() const { return classifyView_; }

  // Inserts the box just before the last box of the list; into an empty list it is appended.
  static void insertTampArray(HomeBoxList& list, const std::shared_ptr<HomeBoxData>& box);
  // Removes the first box of that title (nothing when there is none).
  static void deleteBoxData(HomeBoxList& list, const std::string& title);

 private:
  std::shared_ptr<HomeBoxData> getTheHomeBoxDataByBusid(const std::string& busId) const;
  void resetExistArray();
  static std::shared_ptr<platform::ui::View> tickView(bool ticked);

  HomeBoxList items_;
  HomeBoxList existArray_;
  HomeBoxList compareArray_;
  std::vector<HomeBoxList> localArray_;
  HomeBoxList nowArray_;
  std::vector<std::shared_ptr<ServListEntity>> serverArray_;
  std::map<std::string, bool> existDic_;
  std::map<std::string, std::string> tipDic_;
  std::map<std::string, std::string> updateTipDic_;
  std::shared_ptr<platform::ui::TableView> allCtrTable_;
  std::shared_ptr<ClassifyView> classifyView_;
};

}  // namespace nvx
