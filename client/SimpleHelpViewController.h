// A help screen that lays the guide of two help pictures ("help_1.jpg", "help_2.jpg") over the
// window when its view has loaded. No screen of the client opens it yet.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/ViewController.h"

namespace nvx {

class SimpleHelpViewController : public platform::ui::ViewController {
 public:
  static constexpr const char* kClassName = "SimpleHelpViewController";
  static std::shared_ptr<SimpleHelpViewController> create() { return std::make_shared<SimpleHelpViewController>(); }
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
};

}  // namespace nvx
