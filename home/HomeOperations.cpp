#include "home/HomeOperations.h"

#include "platform/foundation/Log.h"

namespace nvx {

namespace {

class PendingHomeOperations : public HomeOperations {
 public:
  void getPromotion(std::shared_ptr<platform::ui::ViewController>, PromotionCompletion) override {
    platform::log::info("home", "promotion tips are not asked in this build");
  }
  void getTotalMsg(const std::string&, TotalCompletion) override {
    platform::log::info("home", "the unread count is not asked in this build");
  }
};

}  // namespace

std::shared_ptr<HomeOperations> HomeOperations::create() { return std::make_shared<PendingHomeOperations>(); }

}  // namespace nvx
