// What the multi-pay screen hands the wallet's screens it opens by class name (activation,
// recharge, the red-packet chooser). The wallet's own module implements them; until it does, the
// screens are not registered and opening one is a logged no-op.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"

namespace platform::ui {
class ViewController;
}

namespace nvx {

// Told by the activation screen, when done, which trip it was part of (its tag text).
class ActivationWalletDelegate {
 public:
  virtual ~ActivationWalletDelegate() = default;
  virtual void popToView(const std::string& tag) = 0;
};

class ActivationWalletScreen {
 public:
  virtual ~ActivationWalletScreen() = default;
  virtual void setDelegate(std::weak_ptr<ActivationWalletDelegate> delegate) = 0;
  virtual void setCtrTitle(std::string tag) = 0;
};

class RechargeScreen {
 public:
  virtual ~RechargeScreen() = default;
  // The pay screen the recharge returns to.
  virtual void initWithPreviousController(std::weak_ptr<platform::ui::ViewController> previous) = 0;
};

class RedPacketChooserScreen {
 public:
  // Total face value in fen and the chosen gift ids, when the user goes back.
  using Choice = std::function<void(int64_t totalFen, std::vector<std::string> giftIds)>;
  virtual ~RedPacketChooserScreen() = default;
  virtual void setRedPageArray(platform::Json items) = 0;
  virtual void setIndexPathMap(std::shared_ptr<std::map<int, bool>> marks) = 0;
  virtual void setValidMaxAmount(int64_t fen) = 0;
  virtual void setChoosenExecutor(Choice choice) = 0;
};

}  // namespace nvx
