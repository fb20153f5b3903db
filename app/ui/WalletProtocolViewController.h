// The wallet service agreement, a page of the service's download server.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXBaseProtocolViewController.h"

namespace nvx {

class WalletProtocolViewController : public NVXBaseProtocolViewController {
 public:
  static constexpr const char* kClassName = "WalletProtocolViewController";
  static constexpr const char* kTitle = "诺维萨钱包服务协议";
  static constexpr const char* kAgreementPath = "//nvxmbl/html/wallet_service.html";

  // Title "诺维萨钱包服务协议"; the remote address is the agreement page on the download server
  // (plain HTTP).
  WalletProtocolViewController();
  static std::shared_ptr<WalletProtocolViewController> create();

  std::string className() const override { return kClassName; }
};

}  // namespace nvx
