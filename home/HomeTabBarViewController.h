// The shared controller behind every bottom tab bar: it carries out a tab switch (the highlight
// moves, every bar is told the new tab, then the home screen shows its page), offers the "more"
// pop-up with its touch shield and eight actions, and returns to a tab after a login screen it
// opened. One instance for the run.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/shell/LoginScreen.h"
#include "home/HomeBottomTabBar.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"

namespace nvx {

class HomeMoreTipsPopview;

class HomeTabBarViewControllerDelegate {
 public:
  virtual ~HomeTabBarViewControllerDelegate() = default;
  virtual void selectTag(int tag) = 0;
};

class HomeMoreTipsPopviewDelegate {
 public:
  virtual ~HomeMoreTipsPopviewDelegate() = default;
  virtual void tipPopview(HomeMoreTipsPopview& /*popview*/, platform::ui::Button& /*didSelectedItem*/) {}
};

// The "more" menu over the bottom bar: eight buttons in two rows.
class HomeMoreTipsPopview : public platform::ui::View {
 public:
  static constexpr int kTag = 18776;
  static std::shared_ptr<HomeMoreTipsPopview> initWithDelegate(std::weak_ptr<HomeMoreTipsPopviewDelegate> delegate);
  HomeMoreTipsPopview();

  // The first and last buttons by the login state.
  void updateLoginStatus();
  void animatedPopup();
  // When not shown the completion runs at once.
  void animatedDismiss(std::function<void()> completion);
  void didSelectedItem(platform::ui::Button& button);

  bool isPopuped() const { return isPopuped_; }
  int selectedIndex() const { return selectedIndex_; }
  double origionY() const { return origionY_; }
  double animatedY() const { return animatedY_; }
  std::shared_ptr<platform::ui::Button> buttonWithTag(int tag) const;

 private:
  std::array<std::shared_ptr<platform::ui::Button>, 8> buttons_;
  std::weak_ptr<HomeMoreTipsPopviewDelegate> delegate_;
  bool isPopuped_ = false;
  int selectedIndex_ = 0;
  double origionY_ = 0;
  double animatedY_ = 0;
};

// A clear, exclusive-touch view that runs its executor when a touch begins on it.
class ProtectView : public platform::ui::View {
 public:
  static std::shared_ptr<ProtectView> initWithFrame(platform::ui::Rect frame, std::function<void()> executor);
  // Frame (0, 0, screen width, screen height - 58): the bottom bar stays free.
  static std::shared_ptr<ProtectView> initWithExecutor(std::function<void()> executor);
  void touchesBegan();

 private:
  std::function<void()> touchExecutor_;
};

class HomeTabBarViewController : public HomeBottomTabBarDelegate,
                                 public HomeMoreTipsPopviewDelegate,
                                 public LoginViewControllerDelegate,
                                 public std::enable_shared_from_this<HomeTabBarViewController> {
 public:
  static constexpr double kStepSeconds = 0.08;
  static constexpr std::array<const char*, 8> kPopActions{
      "handleModifyPassword", "handleUserProfile", "handleFeedBack", "handleUpdateClient",
      "handleStartNuvexaSwiper", "handlePresentMap", "handleAboutUs", "handleLogout"};

  // The controller of this run, made on first use (the root navigation controller must exist by
  // then: the shield goes onto its view).
  static std::shared_ptr<HomeTabBarViewController> sharedTabBarController();
  // A new bottom bar with the shared controller as delegate, 44 points higher for the tabs
  // whose screens have a navigation bar above them.
  static std::shared_ptr<HomeBottomTabBar> showHomeTabBarAddedTo(platform::ui::View& view, int selectedTag);
  static std::shared_ptr<HomeBottomTabBar> getHomeBottomTabBarInView(const platform::ui::View& view);
  static void fixTabBarStatusInView(const platform::ui::View& view, int selectedTag);
  static void touchUpInsideTabBarInView(const platform::ui::View& view, int selectedTag);
  static void dismissMoreTipView();

  // Selects the tab on the bar only: no notification, no animation, no delegate call.
  void gotoTag(int tag, HomeBottomTabBar& tabBar);
  // The tab switch.
  void tabBar(HomeBottomTabBar& bar, platform::ui::Button& didSelectedItem) override;
  void presentHomeView();
  void presentTradingQueryView();
  void presentMapView();
  void presentMoreView();
  // Pops to the first screen of that class on the root stack, else pops to the root and pushes a
  // new one (without animation).
  void presentController(const std::string& className);

  void protectViewTouched();
  void tipPopview(HomeMoreTipsPopview& popview, platform::ui::Button& didSelectedItem) override;
  void handleModifyPassword();
  void handleUserProfile();
  void handleFeedBack();
  void handleUpdateClient();
  void handleStartNuvexaSwiper();
  void handlePresentMap();
  void handleAboutUs();
  void handleLogout();

  // The login screen's delegate.
  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
  void didBackFromLogin(platform::ui::ViewController& login);

  void setDelegate(std::weak_ptr<HomeTabBarViewControllerDelegate> d) { delegate_ = std::move(d); }
  int fromTag() const { return fromTag_; }
  int toTag() const { return toTag_; }
  const std::shared_ptr<HomeMoreTipsPopview>& tipPopviewView() const { return tipPopview_; }
  const std::shared_ptr<ProtectView>& protectView() const { return protectView_; }

 private:
  void build();
  void select(int tag);
  void push(const std::string& className);

  std::shared_ptr<HomeMoreTipsPopview> tipPopview_;
  std::shared_ptr<ProtectView> protectView_;
  std::weak_ptr<HomeTabBarViewControllerDelegate> delegate_;
  int fromTag_ = HomeBottomTabBar::kCardTag;
  int toTag_ = HomeBottomTabBar::kCardTag;
};

}  // namespace nvx
