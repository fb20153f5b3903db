#include "reader/UnitChooserModel.h"

#include <algorithm>

#include "core/shell/AppServices.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "reader/DHSwiperController.h"
#include "reader/NextStepTarget.h"
#include "reader/ReaderModels.h"

namespace nvx::reader {

namespace {

bool isTaviUnit(const Unit& unit) { return unit.unitid() && *unit.unitid() == ReaderModels::kTaviUnitId; }

}  // namespace

void UnitChooserModel::setUnitArray(std::vector<Unit> units) {
  unitArray_ = std::move(units);
  commonUnits_.clear();
  otherUnits_.clear();
  taviUnit_.reset();
  for (const Unit& unit : unitArray_) {
    if (unit.unitid() && ReaderModels::isCommonChoice(*unit.unitid())) {
      commonUnits_.push_back(unit);
    } else if (isTaviUnit(unit)) {
      taviUnit_ = unit;  // listed only while the box is there
    } else {
      otherUnits_.push_back(unit);
    }
  }
}

bool UnitChooserModel::setTaviPresent(bool present) { return present ? onTaviConnected() : onTaviDisConnected(); }

bool UnitChooserModel::onTaviConnected() {
  if (!taviUnit_) return false;
  // Listed once, however often the box is reported.
  if (std::any_of(otherUnits_.begin(), otherUnits_.end(), isTaviUnit)) return false;
  otherUnits_.push_back(*taviUnit_);
  return true;
}

bool UnitChooserModel::onTaviDisConnected() {
  if (!taviUnit_) return false;
  return std::erase_if(otherUnits_, isTaviUnit) > 0;
}

void UnitChooserModel::readCurrentUnit() {
  currentUnit_ = platform::UserDefaults::standard().string(ReaderModels::kUnitIdKey).value_or("");
}

int UnitChooserModel::numberOfRowsInSection(int section) const {
  switch (section) {
    case kCommonSection:
      return static_cast<int>(commonUnits_.size());
    case kOtherSection:
      return 1 + (isOtherUnitsOpen_ ? static_cast<int>(otherUnits_.size()) : 0);
    case kPictureSection:
      return 1;
    default:
      return 0;
  }
}

const Unit* UnitChooserModel::unitAt(int section, int row) const {
  if (row < 0 || row >= numberOfRowsInSection(section)) return nullptr;
  if (section == kCommonSection) return &commonUnits_[static_cast<size_t>(row)];
  if (section == kOtherSection && row >= 1) return &otherUnits_[static_cast<size_t>(row - 1)];
  return nullptr;
}

bool UnitChooserModel::isCheckedRow(int section, int row) const {
  const Unit* unit = unitAt(section, row);
  return unit && unit->unitid() && !currentUnit_.empty() && *unit->unitid() == currentUnit_;
}

bool UnitChooserModel::selectRow(int section, int row) {
  const Unit* unit = unitAt(section, row);
  if (!unit) return false;
  currentUnit_ = unit->unitid().value_or("");
  return true;
}

void UnitChooserModel::save(DHSwiperController& hub) const {
  auto target = nextStepTarget_.lock();
  if (auto navigation = DHSwiperController::navigationControllerForTarget(target)) {
    AppServices::popScreen(*navigation);
  } else {
    platform::log::warning("SwiperInvalidViewController", "no navigation stack to leave the chooser");
  }
  hub.initSwiperSDkWithUnitId(currentUnit_.empty() ? std::nullopt : std::optional<std::string>(currentUnit_));
  if (auto next = std::dynamic_pointer_cast<NextStepTarget>(target)) next->theNextStep();
}

}  // namespace nvx::reader
