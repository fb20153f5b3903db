// The simulator's home root while the client has no home screen of its own: an empty screen
// under the name "HomeViewController" that does what the shell relies on at start-up (no
// navigation bar, and the splash taken away 0.5 s after it is first shown) and nothing else. registerIfMissing leaves a
// registered home screen alone, so the real one wins as soon as its module registers it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/ui/HomeScreen.h"
#include "platform/ui/ViewController.h"

namespace nvx::sim {

class PlaceholderHomeScreen : public platform::ui::ViewController, public HomeScreen {
 public:
  static void registerIfMissing();

  std::string className() const override { return kClassName; }
  void viewWillAppear(bool animated) override;

  std::vector<std::shared_ptr<HomeBox>> getAllBusiness() override { return {}; }
  void gotoFunctionView(const std::string& businessCode) override;
  void pushToAdvertiseMent(std::shared_ptr<platform::ui::ViewController> screen) override;
  void handleUrlForTicket(const std::string& url) override;

 private:
  bool shown_ = false;
};

}  // namespace nvx::sim
