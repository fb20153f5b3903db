// The home screen's bottom tab bar: four tabs (card page, mobile bank, life services, wallet).
// Every bar on the navigation stack follows the tab-bar notification, so all show the same tab.
#pragma once
#include <memory>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"

namespace nvx {

class HomeBottomTabBar;

class HomeBottomTabBarDelegate {
 public:
  virtual ~HomeBottomTabBarDelegate() = default;
  virtual void tabBar(HomeBottomTabBar& /*bar*/, platform::ui::Button& /*didSelectedItem*/) {}
};

class HomeBottomTabBar : public platform::ui::View {
 public:
  static constexpr int kCardTag = 10231;
  static constexpr int kMobileBankTag = 10232;
  static constexpr int kLifeTag = 10233;
  static constexpr int kWalletTag = 10234;
  // Given to setDeSelectedItem: no bottom tab is selected.
  static constexpr int kNoneSelected = 1000;
  static constexpr double kHeight = 58;
  static constexpr const char* kNotification = "NVX_HOME_TABBAR_NOTIFICATION";

  static std::shared_ptr<HomeBottomTabBar> initWithDelegate(std::weak_ptr<HomeBottomTabBarDelegate> delegate);
  HomeBottomTabBar();

  // Stores the tag; for the four tabs also selects that tab's button only.
  void setSelectedIndex(int tag);
  int selectedIndex() const { return selectedIndex_; }
  // 1000 clears every button; another value selects the button with that tag only.
  void setDeSelectedItem(int tag);
  void didSelectedItem(platform::ui::Button& button);
  // The tab-bar notification's handler: the posted tag becomes the selected one.
  void selectedIndexChange(int tag) { setSelectedIndex(tag); }
  // Posts the tab-bar notification with the tag.
  static void notifyTabBarSelected(int tag);

  std::shared_ptr<platform::ui::Button> buttonWithTag(int tag) const;
  const std::shared_ptr<platform::ui::View>& maskView() const { return maskView_; }
  void setMaskView(std::shared_ptr<platform::ui::View> v) { maskView_ = std::move(v); }
  void setCustomDelegate(std::weak_ptr<HomeBottomTabBarDelegate> d) { customDelegate_ = std::move(d); }

  std::string kind() const override { return "HomeBottomTabBar"; }

 private:
  std::shared_ptr<platform::ui::Button> homeBtn_, tradeBtn_, mapBtn_, moreBtn_;
  std::shared_ptr<platform::ui::View> maskView_;
  std::weak_ptr<HomeBottomTabBarDelegate> customDelegate_;
  int selectedIndex_ = 0;
  platform::NotificationCenter::Observation observation_;
};

}  // namespace nvx
