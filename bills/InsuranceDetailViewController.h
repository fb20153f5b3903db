// One product's detail: a header with its picture, name and prices, three or four HTML tabs
// (the fourth only when the record has an "extend01" text) and the buy button, which opens the
// insured-person form with the record.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "bills/CustomSegmentedControl.h"
#include "bills/InsuranceDisplayView.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/WebView.h"

namespace nvx {

class InsuranceDetailViewController : public NVXViewController, public CustomSegmentedControlDelegate {
 public:
  static constexpr const char* kClassName = "InsuranceDetailViewController";
  // The record's HTML texts of the tabs, in order.
  static constexpr const char* kTabKeys[] = {"buyReason", "proFeatures", "interest", "extend01"};

  static std::shared_ptr<InsuranceDetailViewController> initWithInsuranceDetailInfo(platform::Json insurance,
                                                                                   bool isPromotion);
  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  void customSegmentedControl(CustomSegmentedControl& control, int index) override;
  void buyButtonTouched();

  const platform::Json& insurance() const { return insurance_; }
  bool isPromotion() const { return isPromotion_; }
  int selectedIndex() const { return selectedIndex_; }
  const std::shared_ptr<InsuranceDisplayView>& header() const { return header_; }
  const std::shared_ptr<CustomSegmentedControl>& segmentedControl() const { return segments_; }
  const std::shared_ptr<platform::ui::WebView>& webView() const { return webView_; }
  const std::shared_ptr<platform::ui::Button>& buyButton() const { return buyButton_; }

 private:
  void show(int index);

  platform::Json insurance_ = platform::Json::object();
  bool isPromotion_ = false;
  int selectedIndex_ = 0;
  std::shared_ptr<InsuranceDisplayView> header_;
  std::shared_ptr<CustomSegmentedControl> segments_;
  std::shared_ptr<platform::ui::WebView> webView_;
  std::shared_ptr<platform::ui::Button> buyButton_;
};

}  // namespace nvx
