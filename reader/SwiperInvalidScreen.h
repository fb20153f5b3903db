// What the reader hub needs of the reader-model chooser, a screen of a higher module: the hub
// makes it by class name through ScreenRegistry ("SwiperInvalidViewController") and configures it
// through this interface. While it is shown it also hears the Wi-Fi box come and go. Until a
// chooser is registered, asking for it logs and does nothing.
#pragma once
#include <memory>
#include <vector>

#include "net/Unit.h"
#include "reader/ScreenHandles.h"
#include "reader/TaviDetector.h"

namespace nvx::reader {

class SwiperInvalidScreen : public TaviListener {
 public:
  static constexpr const char* kClassName = "SwiperInvalidViewController";

  // The screen that ran the reader gate and carries on after the save (not owned).
  virtual void setNextStepTarget(std::weak_ptr<platform::ui::ViewController> target) = 0;
  // The models offered.
  virtual void setUnitArray(std::vector<Unit> units) = 0;
  // Whether the box is there now (onTaviConnected or onTaviDisConnected).
  virtual void setTaviPresent(bool present) = 0;
};

}  // namespace nvx::reader
