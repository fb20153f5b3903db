// The home screen: the root of the client's one navigation stack. One screen whose content
// switches between pages: the card, mobile-bank, life-services, mall and common pages of business
// boxes, the wallet page, the message centre and the More page, switched by the bottom tab bar
// and the top bar. It keeps the user's common page in the user defaults, asks the main server for
// promotion tips and the unread count, and opens every business: from a tapped box, by business
// code, by title, or after a login it asked for (the dispatch, HomeViewControllerDispatch.cpp).
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/HomeScreen.h"
#include "app/ui/NVXViewController.h"
#include "core/shell/LoginScreen.h"
#include "home/AdvertisingView.h"
#include "home/HomeBoxView.h"
#include "home/HomeNavigationBar.h"
#include "home/HomeOperations.h"
#include "home/HomeTabBarViewController.h"
#include "platform/ui/Label.h"

namespace nvx {

class MessageCenterView;
class MoreView;

// One tapped advert cell of the banner: a default picture of the client's own (by its kind), or a
// downloaded advert.
struct AdvertTap {
  bool isDefault = false;
  int defaultKind = 0;
  int adType = 0;
  std::string adNote;
  std::string adUrl;
  std::string adContent;
  int adID = 0;
};

class HomeViewController : public NVXViewController,
                           public HomeScreen,
                           public HomeBoxViewDelegate,
                           public HomeTabBarViewControllerDelegate,
                           public HomeNavigationBarDelegate,
                           public LoginViewControllerDelegate {
 public:
  static constexpr const char* kCommonPageKey = "item_data_new";
  static constexpr const char* kMessageNumKey = "messageNum";
  static constexpr double kBannerHeight = 98;
  static constexpr double kPagesTop = 40;
  static constexpr double kSlideSeconds = 0.3;
  static constexpr const char* kAddedPrompt = "应用已添加到常用应用中";
  static constexpr const char* kAlreadyAddedPrompt = "该应用已在常用中";
  // The campaign title of the coupon page an advert opens.
  static constexpr const char* kCouponTitle = "优惠券";
  static constexpr const char* kBalanceComment = "*支持所有银联借记卡";
  static constexpr int kBalanceCommentTag = 1001;
  static constexpr const char* kLotteryRootClass = "TabBarController";
  static constexpr const char* kLotteryCode = "B00013";
  // The saved-payee list: where the title chain ends.
  static constexpr const char* kSavedPayeeClass = "ChooseBankAccountViewController";

  HomeViewController();
  static std::shared_ptr<HomeViewController> create();
  static constexpr const char* kClassName = HomeScreen::kClassName;
  std::string className() const override { return kClassName; }
  // The server operations (set before the view loads; the main API's by default).
  void setOperations(std::shared_ptr<HomeOperations> operations) { operations_ = std::move(operations); }

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  // --- HomeScreen (the application delegate's calls) ---
  std::vector<std::shared_ptr<HomeBox>> getAllBusiness() override;
  void gotoFunctionView(const std::string& businessCode) override;
  void pushToAdvertiseMent(std::shared_ptr<platform::ui::ViewController> screen) override;
  void handleUrlForTicket(const std::string& url) override;

  // --- other callers ---
  void gotoNewBusiness(const std::string& title) override;
  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
  void updateUnReadMsg();
  void updateUnReadNumber(int64_t number);
  void rebuildWalletView();
  void selectedCommonView();
  void reloadTheCommonView(const HomeBoxList& items);
  void advertisingViewClickedAd(const AdvertTap& ad);

  // --- the dispatch ---
  void gotoBusiness(const std::string& title);
  // Whether the box may open without a login.
  bool checkLogin(const HomeBoxData& box) const;
  void theNextStep();
  // A clear label of the text, right-aligned, in the 16-point system font.
  static std::shared_ptr<platform::ui::Label> lableFrame(platform::ui::Rect frame, const std::string& title);

  // --- delegates of the bars and grids ---
  void selectTag(int tag) override;
  void tabBar(HomeNavigationBar& bar, platform::ui::Button& didSelectedItem) override;
  void selectHomeBoxItem(HomeBoxItem& item) override;
  void longPressItem(HomeBoxItem& item, HomeBoxView& view) override;
  void deleteBoxItem(HomeBoxItem& item, HomeBoxView& view) override;

  // --- offered operations ---
  void addToCommonView(size_t index);
  // Move a box of the common page to the first place, or delete it; the box at position 4 keeps
  // its place.
  void setToFirstLocation(size_t position);
  void deleteItem(size_t position);
  // The reader shop and the bank web-site search screen.
  void buySwiper();
  void gotoLoginView();
  // Tag 100: the mobile-bank page; any other: the card page.
  void changeMode(int tag);
  static std::vector<std::string> classToString(const std::vector<std::string>& classes) { return classes; }
  static std::vector<std::string> stringToClass(const std::vector<std::string>& names);
  bool itemIsExist(size_t index) const;
  void showNewTip();
  // The position of the first box of that title in the common page, -1 when none.
  int getIndexOfBoxData(const HomeBoxData& box) const;

  // The promotion list as tips by box title: entries whose "note" names a tipped business give
  // it their "aContent"; later entries win; anything else is ignored.
  static std::map<std::string, std::string> tipsFromPromotion(const platform::Json& list);
  // The address an advert of type 3 opens: the user's token and login name are added only for
  // the service's own HTTPS host (the main API's), never for another or a plain-HTTP address.
  static std::string advertAddress(const std::string& adUrl, const std::string& ownBaseAddress);
  // The lottery tab named by "page=" in a link: 0 when missing, not a digit, or above 4.
  static int ticketTab(const std::string& url);

  // --- state (the tests read it) ---
  const HomeBoxList& commonArray() const { return commonArray_; }
  const HomeBoxList& boxDataArray() const { return boxDataArray_; }
  const std::string& goBusTitle() const { return goBusTitle_; }
  const std::shared_ptr<HomeBoxView>& cardView() const { return cardView_; }
  const std::shared_ptr<HomeBoxView>& mobilBankView() const { return mobilBankView_; }
  const std::shared_ptr<HomeBoxView>& lifeView() const { return lifeView_; }
  const std::shared_ptr<HomeBoxView>& mallView() const { return mallView_; }
  const std::shared_ptr<HomeBoxView>& mystoreView() const { return mystoreView_; }
  const std::shared_ptr<HomeNavigationBar>& navbar() const { return navbar_; }
  const std::shared_ptr<platform::ui::View>& animateView() const { return animateView_; }
  const std::shared_ptr<platform::ui::View>& contenView() const { return contenView_; }
  const std::shared_ptr<platform::ui::View>& homeView() const { return homeView_; }
  std::shared_ptr<platform::ui::ViewController> ticketController() const { return ticketController_.lock(); }
  const std::shared_ptr<AdvertisingView>& adView() const { return adView_; }

  // --- the message and More pages (HomeViewControllerPages.cpp) ---
  // A new message page in place of the previous one.
  void gotoNoticeView();
  void showMorePage();
  // Presents the reorder screen with the stored common page.
  void resetLocation();
  const std::shared_ptr<MoreView>& moreview() const { return moreview_; }
  const std::shared_ptr<MessageCenterView>& messageview() const { return messageview_; }

 private:
  std::shared_ptr<HomeViewController> self() {
    return std::static_pointer_cast<HomeViewController>(shared_from_this());
  }
  void loadCommonArray();
  void saveCommonArray() const;
  std::vector<std::shared_ptr<HomeBoxView>> grids() const;
  void showHomeview(const std::shared_ptr<HomeBoxView>& grid);
  void slideBanner(bool shown);
  void hideWalletPage();
  void getPromotion();
  void getUnReadMsg();
  std::shared_ptr<HomeBottomTabBar> bottomBar() const;
  // Selects the tab on the bottom bar and shows its page, as a tap would.
  void switchToTab(int tag);
  void pushLogin(const std::string& boxTitle);
  void push(const std::shared_ptr<platform::ui::ViewController>& screen);
  // Creates the screen of that class and pushes it; logged when the class is not built.
  void pushScreen(const std::string& className);
  void openLottery();
  void openPublicService(int serviceType);
  void openMemberCard();
  void openReceivables();
  void openApplicationsList();
  void openCouponPage(const std::string& address);
  void rearrangeKeepingFifth(size_t position, bool removeIt);
  // Asks for the adverts and lays the banner under the navigation bar (HomeViewControllerAdverts.cpp).
  void showAdvertBanner();

  std::shared_ptr<HomeOperations> operations_;
  std::shared_ptr<platform::ui::View> contenView_;
  std::shared_ptr<platform::ui::View> animateView_;
  std::shared_ptr<platform::ui::View> homeView_;
  std::shared_ptr<HomeNavigationBar> navbar_;
  std::shared_ptr<HomeBoxView> cardView_, mobilBankView_, lifeView_, mallView_, mystoreView_;
  std::shared_ptr<platform::ui::ViewController> walletCtrl_;
  HomeBoxList commonArray_;
  HomeBoxList boxDataArray_;
  std::string goBusTitle_;
  bool isButtonPressing_ = false;
  std::weak_ptr<platform::ui::ViewController> ticketController_;

  // The message and More pages.
  void buildMorePage();
  void hideExtraPages();
  std::shared_ptr<MoreView> moreview_;
  std::shared_ptr<MessageCenterView> messageview_;
  std::shared_ptr<AdvertisingView> adView_;
  std::shared_ptr<AdvertisingDelegate> adTaps_;
};

}  // namespace nvx
