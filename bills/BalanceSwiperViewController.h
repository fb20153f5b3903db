// The balance inquiry: the swipe screen of business type 0, whose "commit" is the inquiry M30000.
// The inquiry is stored in Tools like any commit and the swipe screen sends it with the card and
// the PIN block; the receipt shows the balance. What this screen adds is the way it waits for a
// reader: while none is there it shows a plug-in prompt ("我已插上" / "立即购买") in place of the
// swipe form and, while the hub has no driver, watches the headset socket for one.
//
// Two display states: the plug-in prompt (isPlugin false) and the swipe form (isPlugin true). The
// prompt turns into the form only when the inquiry is prepared (a legal terminal at start, a
// passed reader gate, or "我已插上"); reader events change the flag, and the table follows at its
// next reload.
#pragma once
#include <memory>

#include "core/shell/LoginScreen.h"
#include "pay/SwipeViewController.h"
#include "platform/ui/Button.h"
#include "reader/SwiperUtil.h"

namespace nvx {

class BalanceSwiperViewController : public SwipeViewController,
                                    public LoginViewControllerDelegate,
                                    public reader::AudioSwiperListener {
 public:
  static constexpr const char* kClassName = "BalanceSwiperViewController";
  static constexpr const char* kComment = "*支持所有银联借记卡";
  static constexpr int kCommentTag = 1001;
  static constexpr const char* kPluggedTitle = "我已插上";
  static constexpr const char* kBuyTitle = "立即购买";
  static constexpr const char* kPlugInText = "请将刷卡器插入手机的耳机孔";
  static constexpr const char* kSupportText = "* 支持所有银联借记卡";
  static constexpr const char* kInsertReaderText = "请插入刷卡器";
  static constexpr const char* kLoginBoxTitle = "subBalance";
  static constexpr const char* kBuyReaderClassName = "BuyNuvexaViewController";
  // How long the start-up waits before it runs the reader gate.
  static constexpr double kGateDelaySeconds = 0.5;

  // The swipe screen configured for the balance inquiry, with its comment label.
  BalanceSwiperViewController();
  static std::shared_ptr<BalanceSwiperViewController> create();
  std::string className() const override { return kClassName; }

  bool isPlugin() const { return isPlugin_; }
  // The opener's choice of the starting form.
  void setIsPlugin(bool on) { isPlugin_ = on; }

  // --- life cycle ---
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView&, platform::ui::IndexPath) override {}

  // --- reader events (the hub's, through the application, and the presence watcher's) ---
  void onDevicePlugged() override;
  void onDeviceUnplugged() override;
  void onDecodeError(int32_t decodeResult) override;
  void onError(int32_t errorCode, const std::string& errorMessage) override;

  // --- alerts and the login screen ---
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alert, int index) override;
  void alertViewDidDismissWithButtonIndex(platform::ui::AlertView& alert, int index) override;
  void gotoViewOfBoxTitle(const std::string&) override {}

  // --- own operations ---
  // The session holds a TPK and a PIK for the current reader terminal.
  static bool isLegal();
  // Stores the inquiry in Tools and shows the swipe form.
  void creatRequest();
  // No reader: the overlays go and the prompt stays.
  void checkDevice();
  // The reader gate; on success the reader starts and the inquiry is prepared.
  void performSwiperValid();
  // "我已插上".
  void plugin();
  // "立即购买": the reader-purchase screen.
  void gotoBuy();

  const std::shared_ptr<platform::ui::Button>& bt1() const { return bt1_; }
  const std::shared_ptr<platform::ui::Button>& bt2() const { return bt2_; }
  const std::shared_ptr<CardSwipeStatusView>& cardSwipeView() const { return cardSwipeStatusView_; }
  const std::shared_ptr<platform::ui::TextField>& passwordTf() const { return passwordTextField_; }

 private:
  std::shared_ptr<BalanceSwiperViewController> selfBalance() {
    return std::static_pointer_cast<BalanceSwiperViewController>(shared_from_this());
  }
  static std::shared_ptr<platform::ui::Button> buttonWithFrame(platform::ui::Rect frame, const std::string& title);
  // A reader is there: the hub's, or else the watcher's headset route.
  bool isReaderThere();
  void gateThen(bool afterDelay);
  void pushLogin();

  bool isPlugin_ = false;
  std::shared_ptr<platform::ui::Button> bt1_;
  std::shared_ptr<platform::ui::Button> bt2_;
};

}  // namespace nvx
