// The card-reader help page, opened from the pay screens: the service's description of business
// "B00001_1", shown in a web view over the whole screen.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "platform/ui/WebView.h"

namespace nvx::reader {

class SwiperCardHelpViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "SwiperCardHelpViewController";
  static constexpr const char* kTitle = "刷卡器使用帮助";
  static constexpr const char* kBusinessId = "B00001_1";

  SwiperCardHelpViewController() = default;
  static std::shared_ptr<SwiperCardHelpViewController> create();

  std::string className() const override { return kClassName; }

  // The title and the web view, then the description is asked of the main server (with the
  // progress indicator) and loaded as the page when it arrives.
  void viewDidLoad() override;

  const std::shared_ptr<platform::ui::WebView>& webView() const { return webView_; }

 private:
  std::shared_ptr<platform::ui::WebView> webView_;
};

}  // namespace nvx::reader
