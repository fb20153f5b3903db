// The reader-model chooser: the hub opens it (by class name) when the reader model is not known
// or the reader gave no serial number. The user picks the reader plugged in among the common
// models, or, opened below "其他设备", among the others (the Wi-Fi box's model only while the box
// is there), and saves: the chooser leaves, the hub switches to the model, and the screen that
// ran the reader gate carries on with its interrupted step.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "reader/SwiperInvalidScreen.h"
#include "reader/UnitChooserModel.h"

namespace nvx::reader {

class SwiperInvalidViewController : public NVXViewController,
                                    public SwiperInvalidScreen,
                                    public platform::ui::TableViewDataSource,
                                    public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = SwiperInvalidScreen::kClassName;
  static constexpr const char* kTitle = "设置";
  static constexpr const char* kCommonHeader = "设置插上的刷卡器型号";
  static constexpr const char* kOtherUnitsRow = "其他设备";
  static constexpr const char* kFooterPrefix = "*如有疑问,请联系诺维萨客服:";
  // The form whose amount survives the detour through this chooser.
  static constexpr const char* kLotteryTopUpClass = "TicketRechargeViewController";
  static constexpr const char* kSaveTitle = "保存";
  static constexpr int kPictureTag = 9999;
  static constexpr double kRowHeight = 44;
  static constexpr double kPictureRowHeight = 132;

  SwiperInvalidViewController() = default;
  static std::shared_ptr<SwiperInvalidViewController> create();

  std::string className() const override { return kClassName; }

  // Title, the grouped table with its footer, the chosen model from "unitid" and the save button's state.
  void viewDidLoad() override;

  // --- what the hub gives it ---
  void setNextStepTarget(std::weak_ptr<platform::ui::ViewController> target) override;
  void setUnitArray(std::vector<Unit> units) override;
  void setTaviPresent(bool present) override;
  // The box came or went: its model is listed or not, and the table reloads.
  void onTaviConnected() override;
  void onTaviDisConnected() override;

  // The other models open or close (the header row's button).
  void toggleOtherUnits();
  // Leaves the chooser, switches the hub to the chosen model and lets the screen that ran the
  // gate carry on.
  void save();

  const UnitChooserModel& model() const { return model_; }
  const std::shared_ptr<CustomTableView>& tableView() const { return tableView_; }
  const std::shared_ptr<platform::ui::Button>& saveButton() const { return saveButton_; }

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 private:
  std::shared_ptr<platform::ui::View> makeFooter();
  void reload();

  UnitChooserModel model_;
  std::shared_ptr<CustomTableView> tableView_;
  std::shared_ptr<platform::ui::Button> saveButton_;
};

}  // namespace nvx::reader
