// The bar heading one pay-method section of a pay screen with sections: a small flag picture and
// a title; a tap opens or closes the section. The header keeps only its own open state and look;
// which sections are open, and what opening one does, its delegate decides.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace nvx {

class PayTableHeaderView;

class PayTableHeaderViewExpandDelegate {
 public:
  virtual ~PayTableHeaderViewExpandDelegate() = default;
  virtual void onExpandStatusChanged(PayTableHeaderView& header) = 0;
};

class PayTableHeaderView : public platform::ui::Button {
 public:
  static constexpr const char* kWalletTitle = "钱包支付";
  static constexpr const char* kSwipeTitle = "刷卡支付";
  static constexpr const char* kNoCardRePayTitle = "无卡还款";
  static constexpr const char* kSwipeRePayTitle = "刷卡还款";

  static std::shared_ptr<PayTableHeaderView> initWithFlagImgName(std::string flagImgName, std::string titleName,
                                                                 std::weak_ptr<PayTableHeaderViewExpandDelegate> delegate,
                                                                 bool expand);
  static std::shared_ptr<PayTableHeaderView> walletPayTableHeaderView(std::weak_ptr<PayTableHeaderViewExpandDelegate> d,
                                                                      bool expand);
  static std::shared_ptr<PayTableHeaderView> swipePayTableHeaderView(std::weak_ptr<PayTableHeaderViewExpandDelegate> d,
                                                                     bool expand);
  static std::shared_ptr<PayTableHeaderView> noCardRePayTableHeaderView(
      std::weak_ptr<PayTableHeaderViewExpandDelegate> d, bool expand);
  static std::shared_ptr<PayTableHeaderView> swipeRePayTableHeaderView(
      std::weak_ptr<PayTableHeaderViewExpandDelegate> d, bool expand);

  void setIsExpand(bool expand);
  bool isExpand() const { return isExpand_; }
  // The tap: flips the state, then tells the delegate (when there is one).
  void onButtonPressed();

  bool isWalletPay() const { return payTitleLb_->text() == kWalletTitle; }
  bool isSwipePay() const { return payTitleLb_->text() == kSwipeTitle; }
  bool isNoCardRePay() const { return payTitleLb_->text() == kNoCardRePayTitle; }
  bool isSwipeRePay() const { return payTitleLb_->text() == kSwipeRePayTitle; }

  const std::string& flagImgName() const { return flagImgName_; }
  // The picture name the flag shows now ("_selected" before the extension while open).
  const std::string& currentFlagImgName() const { return currentFlagImgName_; }
  // The background picture of the normal state now.
  const std::string& currentBackgroundName() const { return currentBackgroundName_; }
  const std::shared_ptr<platform::ui::ImageView>& payFlagImgView() const { return payFlagImgView_; }
  const std::shared_ptr<platform::ui::Label>& payTitleLb() const { return payTitleLb_; }
  const std::shared_ptr<platform::ui::View>& leftMaskView() const { return leftMaskView_; }
  const std::shared_ptr<platform::ui::View>& rightMaskView() const { return rightMaskView_; }
  std::shared_ptr<PayTableHeaderViewExpandDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<PayTableHeaderViewExpandDelegate> d) { delegate_ = std::move(d); }

  PayTableHeaderView();

 private:
  std::string flagImgName_;
  std::string currentFlagImgName_;
  std::string currentBackgroundName_;
  std::shared_ptr<platform::ui::ImageView> payFlagImgView_;
  std::shared_ptr<platform::ui::Label> payTitleLb_;
  std::shared_ptr<platform::ui::View> leftMaskView_;
  std::shared_ptr<platform::ui::View> rightMaskView_;
  bool isExpand_ = false;
  std::weak_ptr<PayTableHeaderViewExpandDelegate> delegate_;
};

}  // namespace nvx
