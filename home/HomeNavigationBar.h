// The home screen's top bar: the common page, the mall page, the message centre with its unread
// badge, and the More page. Every top bar follows the navigation-bar notification.
#pragma once
#include <memory>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace nvx {

class HomeNavigationBar;

class HomeNavigationBarDelegate {
 public:
  virtual ~HomeNavigationBarDelegate() = default;
  virtual void tabBar(HomeNavigationBar& /*bar*/, platform::ui::Button& /*didSelectedItem*/) {}
};

class HomeNavigationBar : public platform::ui::View {
 public:
  static constexpr int kCommonTag = 10235;
  static constexpr int kMallTag = 10236;
  static constexpr int kMessageTag = 10237;
  static constexpr int kMoreTag = 10238;
  static constexpr const char* kNotification = "NVX_HOME_NAVIGATIONBAR_NOTIFICATION";
  // Counts from this on show as "...".
  static constexpr int kBadgeOverflow = 100;

  static std::shared_ptr<HomeNavigationBar> initWithDelegate(std::weak_ptr<HomeNavigationBarDelegate> delegate);
  HomeNavigationBar();

  // Stores the tag and shows the highlight; for the four items it also selects that item only and
  // moves the highlight onto it.
  void setSelectedIndex(int tag);
  int selectedIndex() const { return selectedIndex_; }
  void setDeSelectedItem(int tag);
  // Hides the highlight and clears every item.
  void deSelected();
  // The unread badge: hidden for n <= 0, the number up to 99, "..." from 100 on.
  void showNoticeNum(int64_t n);
  void didSelectedItem(platform::ui::Button& button);
  static void notifyTabBarSelected(int tag);

  std::shared_ptr<platform::ui::Button> buttonWithTag(int tag) const;
  const std::shared_ptr<platform::ui::View>& maskView() const { return maskView_; }
  const std::shared_ptr<platform::ui::ImageView>& noticeNumView() const { return noticeNumView_; }
  const std::shared_ptr<platform::ui::Label>& numLabel() const { return numLabel_; }

  std::string kind() const override { return "HomeNavigationBar"; }

 private:
  std::shared_ptr<platform::ui::Button> likeBtn_, mallBtn_, noticeBtn_, moreBtn_;
  std::shared_ptr<platform::ui::View> maskView_;
  std::shared_ptr<platform::ui::ImageView> noticeNumView_;
  std::shared_ptr<platform::ui::Label> numLabel_;
  std::weak_ptr<HomeNavigationBarDelegate> customDelegate_;
  int selectedIndex_ = 0;
  platform::NotificationCenter::Observation observation_;
};

}  // namespace nvx
