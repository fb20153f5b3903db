// What one payment of the multi-pay screen knows about paying from the wallet: the pay methods the
// server allows for the business, the red packets the user may spend and those chosen, whether the
// wallet queries failed, and the balance (kept in User). It runs the query chain pay methods ->
// red packets -> balance, reports to the screen through WalletManagerDelegate and builds the small
// views of the wallet rows. Money is whole fen here; User keeps the balance as yuan text.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pay/MultiPayOperations.h"
#include "platform/ui/View.h"

namespace nvx {

class WalletManager;

// Every operation optional: a default does nothing.
class WalletManagerDelegate {
 public:
  virtual ~WalletManagerDelegate() = default;
  virtual void onQueryPayInfosFailed() {}
  virtual void onQueryWalletInfosCompleted() {}
  virtual void onWalletRecharge() {}
  virtual void onOnlySwipePay() {}
};

class WalletManager : public std::enable_shared_from_this<WalletManager> {
 public:
  static constexpr const char* kPayTypeFailed = "获取支付方式失败";

  static std::shared_ptr<WalletManager> create(std::shared_ptr<MultiPayOperations> operations);

  // The chain: pay methods, then (unless card only) red packets, then the balance.
  void queryPayInfosWithBusid(const std::string& busid, const std::string& lpmercd);
  // Red packets, then the balance.
  void queryWalletInfos(const std::string& lpmercd);
  // The balance alone.
  void updateCurrentUserWalletInfos();
  void refreshNetStatus();
  void walletCharge();

  // --- derived answers, computed on every call ---
  bool isPayPwd() const;
  bool isShowWalletPassword() const;
  bool isLowLimit() const;
  bool isSwipePayOnly() const { return supportedPayType_.cardPay && !supportedPayType_.balancePay; }
  bool isWalletPayOnly() const { return supportedPayType_.balancePay && !supportedPayType_.cardPay; }
  bool isMultPay() const { return supportedPayType_.cardPay && supportedPayType_.balancePay; }
  std::string giftIds() const;
  // The usable balance (the transferable one for remittance by phone) in fen; 0 when User holds
  // no readable balance.
  int64_t usableBalanceFen() const;
  bool isWalletPayOk(int64_t amountFen) const;

  // --- the views of the wallet rows ---
  std::shared_ptr<platform::ui::View> walletStatusView();
  std::shared_ptr<platform::ui::View> redPacketChooseView() const;
  std::shared_ptr<platform::ui::View> walletPayViewWithPayAmount(int64_t amountFen);

  // --- state ---
  const PaySupportTypeEntity& supportedPayType() const { return supportedPayType_; }
  const std::optional<RedPagerEntity>& redPacketEntity() const { return redPacketEntity_; }
  const std::string& giftReqType() const { return giftReqType_; }
  bool hasRedPackets() const { return hasRedPackets_; }
  bool isNetErr() const { return isNetErr_; }
  bool isShowInitAmount() const { return isShowInitAmount_; }
  int64_t selectedRedPacketsAmount() const { return selectedRedPacketsAmount_; }
  void setSelectedRedPacketsAmount(int64_t fen) { selectedRedPacketsAmount_ = fen; }
  const std::vector<std::string>& selectedGiftIdArray() const { return selectedGiftIdArray_; }
  void setSelectedGiftIdArray(std::vector<std::string> ids) { selectedGiftIdArray_ = std::move(ids); }
  // The chooser's marks (row -> chosen), handed to it each time so it opens with the last choice.
  const std::shared_ptr<std::map<int, bool>>& redPacketIndexPaths() const { return redPacketIndexPaths_; }
  void setRedPacketIndexPaths(std::shared_ptr<std::map<int, bool>> m) { redPacketIndexPaths_ = std::move(m); }
  bool isValidTransferAmount() const { return isValidTransferAmount_; }
  void setIsValidTransferAmount(bool v) { isValidTransferAmount_ = v; }
  void setDelegate(std::weak_ptr<WalletManagerDelegate> d) { delegate_ = std::move(d); }

 private:
  explicit WalletManager(std::shared_ptr<MultiPayOperations> operations);
  std::shared_ptr<WalletManagerDelegate> delegate() const { return delegate_.lock(); }

  std::shared_ptr<MultiPayOperations> operations_;
  PaySupportTypeEntity supportedPayType_;
  std::optional<RedPagerEntity> redPacketEntity_;
  std::string giftReqType_;
  bool hasRedPackets_ = false;
  bool isNetErr_ = false;
  bool isShowInitAmount_ = false;
  int64_t selectedRedPacketsAmount_ = 0;
  std::vector<std::string> selectedGiftIdArray_;
  std::shared_ptr<std::map<int, bool>> redPacketIndexPaths_ = std::make_shared<std::map<int, bool>>();
  bool isValidTransferAmount_ = false;
  std::weak_ptr<WalletManagerDelegate> delegate_;
};

}  // namespace nvx
