// The About screen: the client's logo, links to the service agreement and the wallet
// agreement, a short description, the build version and the service hotline with a button that
// offers to dial it.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"

namespace nvx {

class AboutUsViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "AboutUsViewController";
  static constexpr const char* kWalletProtocolTitle = "诺维萨钱包服务协议";

  static std::shared_ptr<AboutUsViewController> create() { return std::make_shared<AboutUsViewController>(); }
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;
  void makeCall();
  void handleProtocol();
  void handleWalletProtocol();
  void actionSheetDidDismissWithButtonIndex(platform::ui::ActionSheet& actionSheet, int index) override;
};

}  // namespace nvx
