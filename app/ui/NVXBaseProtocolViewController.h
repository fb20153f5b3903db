// An agreement or description page on the in-app browser. Derived screens set, before the view
// loads, any of four sources, applied in this order when the view loads, a later load replacing
// an earlier one: an HTML file among the application's resources (nativeHtmlName), HTML text
// (contentString), a web address (remoteUrl), and a business code whose description the main
// server supplies (bussinessId; the server's text replaces whatever was shown when it arrives).
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXBaseWebViewController.h"

namespace nvx {

class NVXBaseProtocolViewController : public NVXBaseWebViewController {
 public:
  static constexpr const char* kClassName = "NVXBaseProtocolViewController";

  NVXBaseProtocolViewController() = default;
  static std::shared_ptr<NVXBaseProtocolViewController> create();

  std::string className() const override { return kClassName; }

  // The browser's set-up, then the sources above.
  void viewDidLoad() override;
  // With a business code: asks the main server for its description (with the progress
  // indicator) and loads the answer, the HTML text or nothing, as the page.
  void requestBussinessDescription();

  const std::string& bussinessId() const { return bussinessId_; }
  void setBussinessId(std::string id) { bussinessId_ = std::move(id); }
  const std::string& contentString() const { return contentString_; }
  void setContentString(std::string html) { contentString_ = std::move(html); }
  const std::string& nativeHtmlName() const { return nativeHtmlName_; }
  void setNativeHtmlName(std::string name) { nativeHtmlName_ = std::move(name); }
  const std::string& remoteUrl() const { return remoteUrl_; }
  void setRemoteUrl(std::string url) { remoteUrl_ = std::move(url); }

 private:
  std::string bussinessId_;
  std::string contentString_;
  std::string nativeHtmlName_;
  std::string remoteUrl_;
};

}  // namespace nvx
