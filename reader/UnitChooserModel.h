// What the reader-model chooser shows and does, without its views: which models are listed in
// which section, the chosen model, and the save. The chooser screen holds one and draws it.
//
// Sections: 0 the common models ("0001", "0002", "0003"), one row each; 1 a header row
// "其他设备" that opens and closes the other models, listed below it while open; 2 a picture.
// The Wi-Fi box's model ("0007") is listed among the others only while the box is there.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/Unit.h"
#include "reader/ScreenHandles.h"

namespace nvx::reader {

class DHSwiperController;

class UnitChooserModel {
 public:
  static constexpr int kCommonSection = 0;
  static constexpr int kOtherSection = 1;
  static constexpr int kPictureSection = 2;

  // Sorts the list: "0001", "0002" and "0003" go to commonUnits, every other model to
  // otherUnits, both in list order; the box's model is kept as taviUnit and not listed until
  // the box is there.
  void setUnitArray(std::vector<Unit> units);
  const std::vector<Unit>& unitArray() const { return unitArray_; }
  const std::vector<Unit>& commonUnits() const { return commonUnits_; }
  const std::vector<Unit>& otherUnits() const { return otherUnits_; }
  const std::optional<Unit>& taviUnit() const { return taviUnit_; }

  // onTaviConnected for true, onTaviDisConnected for false; whether the table must reload.
  bool setTaviPresent(bool present);
  // The box came: its model is listed last among the others. Whether the list changed.
  bool onTaviConnected();
  // The box went: its model is no longer listed. Whether the list changed.
  bool onTaviDisConnected();

  // The chosen model id ("" for none). The chooser starts with the user default "unitid".
  const std::string& currentUnit() const { return currentUnit_; }
  void setCurrentUnit(std::string unitId) { currentUnit_ = std::move(unitId); }
  void readCurrentUnit();
  // The save button is enabled only while a model is chosen.
  bool isSaveEnabled() const { return !currentUnit_.empty(); }

  bool isOtherUnitsOpen() const { return isOtherUnitsOpen_; }
  void setIsOtherUnitsOpen(bool open) { isOtherUnitsOpen_ = open; }
  // The header row's button: opens or closes the other models (the table then reloads).
  void toggleOtherUnits() { isOtherUnitsOpen_ = !isOtherUnitsOpen_; }

  // --- the table ---
  int numberOfSections() const { return 3; }
  int numberOfRowsInSection(int section) const;
  // The model shown on the row, or nothing (the header row of section 1, the picture, rows out
  // of range).
  const Unit* unitAt(int section, int row) const;
  // The row shows a model and it is the chosen one.
  bool isCheckedRow(int section, int row) const;
  // A model row becomes the chosen model (true); any other row does nothing (false).
  bool selectRow(int section, int row);

  // The screen that carries on after the save (not owned).
  std::weak_ptr<platform::ui::ViewController> nextStepTarget() const { return nextStepTarget_; }
  void setNextStepTarget(std::weak_ptr<platform::ui::ViewController> t) { nextStepTarget_ = std::move(t); }

  // The save: the chooser is popped (animated) from the navigation controller chosen for
  // nextStepTarget as the hub chooses it, the hub gets the chosen model, and nextStepTarget,
  // when it can (NextStepTarget), carries on with its interrupted step.
  void save(DHSwiperController& hub) const;

 private:
  std::vector<Unit> unitArray_;
  std::vector<Unit> commonUnits_;
  std::vector<Unit> otherUnits_;
  std::optional<Unit> taviUnit_;
  std::string currentUnit_;
  bool isOtherUnitsOpen_ = false;
  std::weak_ptr<platform::ui::ViewController> nextStepTarget_;
};

}  // namespace nvx::reader
