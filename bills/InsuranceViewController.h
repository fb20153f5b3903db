#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"

namespace nvx {

// The insurer's introduction: its logo button opens the plain product list; the tips below.
class InsuranceViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "InsuranceViewController";
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  const std::shared_ptr<platform::ui::Button>& logoButton() const { return logoButton_; }

 private:
  std::shared_ptr<platform::ui::Button> logoButton_;
};

}  // namespace nvx
