#include "app/ui/WalletProtocolViewController.h"

#include "app/ui/DownloadServerConfig.h"

namespace nvx {

WalletProtocolViewController::WalletProtocolViewController() {
  setTitle(kTitle);
  setRemoteUrl(DownloadServerConfig::current().pageUrl(kAgreementPath));
}

std::shared_ptr<WalletProtocolViewController> WalletProtocolViewController::create() {
  return std::make_shared<WalletProtocolViewController>();
}

}  // namespace nvx
