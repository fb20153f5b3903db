#include "home/HomeTabBarViewController.h"

#include <cstdlib>

#include "app/ui/HudExt.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "home/HomeDataUtil.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::Rect;

namespace {

constexpr std::string_view kLog = "home";
// The maker's microblog page.
constexpr const char* kMicroblogAddress = "https://nuvexa.example/microblog";
constexpr const char* kLoggedOutToast = "您当前账号已登出！";

// The shared controller of this run (a process single object, so a test's reset drops it).
struct HomeTabBarState {
  std::shared_ptr<HomeTabBarViewController> controller;
};

std::shared_ptr<platform::ui::NavigationController> rootNavigation() {
  return AppServices::current().navigationController();
}

}  // namespace

// --- pop-up ---

HomeMoreTipsPopview::HomeMoreTipsPopview() = default;

std::shared_ptr<HomeMoreTipsPopview> HomeMoreTipsPopview::initWithDelegate(
    std::weak_ptr<HomeMoreTipsPopviewDelegate> delegate) {
  auto pop = std::make_shared<HomeMoreTipsPopview>();
  const double height = platform::ui::Screen::bounds().height;
  pop->origionY_ = height - 20 - 40;
  pop->animatedY_ = height - 20 - 186;
  pop->setTag(kTag);
  pop->setBackgroundColor(platform::ui::Color::clear());
  pop->setFrame(Rect{250, pop->origionY_, 251, 157});
  pop->delegate_ = std::move(delegate);
  constexpr std::array<Rect, 8> kFrames{{{0, 0, 65, 75},
                                         {65, 0, 61, 75},
                                         {126, 0, 61, 75},
                                         {187, 0, 64, 75},
                                         {0, 75, 65, 82},
                                         {65, 75, 61, 82},
                                         {126, 75, 61, 82},
                                         {187, 75, 64, 82}}};
  constexpr std::array<const char*, 8> kPictures{"change", "information", "suggest", "update",
                                                 "open",   "follow",      "about",   "bg"};
  const std::weak_ptr<HomeMoreTipsPopview> weak = pop;
  for (size_t i = 0; i < kFrames.size(); ++i) {
    auto button = Button::create(kFrames[i]);
    button->setTag(static_cast<int>(i));
    const std::string base = std::string("home_bottom_more_") + kPictures[i];
    button->setBackgroundImage(platform::ui::Image::named(base + ".png"));
    button->setBackgroundImage(platform::ui::Image::named(i == 7 ? base + ".png" : base + "_selected.png"),
                               platform::ui::ControlState::Selected);
    button->addTarget(pop.get(), platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control& c) {
      if (auto self = weak.lock()) self->didSelectedItem(static_cast<Button&>(c));
    });
    pop->buttons_[i] = button;
    pop->addSubview(button);
  }
  return pop;
}

std::shared_ptr<Button> HomeMoreTipsPopview::buttonWithTag(int tag) const {
  if (tag < 0 || tag >= static_cast<int>(buttons_.size())) return nullptr;
  return buttons_[static_cast<size_t>(tag)];
}

void HomeMoreTipsPopview::updateLoginStatus() {
  const bool logged = User::currentUser().isLogined();
  auto pictures = [](Button& b, const std::string& normal, const std::string& selected) {
    b.setBackgroundImage(platform::ui::Image::named(normal));
    b.setBackgroundImage(platform::ui::Image::named(selected), platform::ui::ControlState::Selected);
  };
  if (logged) {
    pictures(*buttons_[0], "home_bottom_more_change.png", "home_bottom_more_change_selected.png");
    pictures(*buttons_[7], "home_bottom_more_logout.png", "home_bottom_more_logout_selected.png");
  } else {
    pictures(*buttons_[0], "home_bottom_more_login.png", "home_bottom_more_login_selected.png");
    pictures(*buttons_[7], "home_bottom_more_bg.png", "home_bottom_more_bg.png");
  }
  buttons_[7]->setUserInteractionEnabled(logged);
}

void HomeMoreTipsPopview::animatedPopup() {
  if (isPopuped_) return;
  updateLoginStatus();
  setAlpha(0);
  setFrame(Rect{250, origionY_, 0, 0});
  const std::weak_ptr<HomeMoreTipsPopview> weak =
      std::static_pointer_cast<HomeMoreTipsPopview>(shared_from_this());
  platform::ui::animate(
      0.45,
      [this] {
        setAlpha(1);
        setFrame(Rect{65, animatedY_, 254, 148});
      },
      [weak](bool) {
        if (auto self = weak.lock()) self->isPopuped_ = true;
      });
}

void HomeMoreTipsPopview::animatedDismiss(std::function<void()> completion) {
  if (!isPopuped_) {
    if (completion) completion();
    return;
  }
  auto self = std::static_pointer_cast<HomeMoreTipsPopview>(shared_from_this());
  platform::ui::animate(
      0.4,
      [this] {
        setAlpha(0);
        setFrame(Rect{250, origionY_, 0, 0});
      },
      [self, completion = std::move(completion)](bool) {
        self->removeFromSuperview();
        self->isPopuped_ = false;
        if (completion) completion();
      });
}

void HomeMoreTipsPopview::didSelectedItem(Button& button) {
  selectedIndex_ = button.tag();
  if (auto d = delegate_.lock()) d->tipPopview(*this, button);
}

// --- shield ---

std::shared_ptr<ProtectView> ProtectView::initWithFrame(Rect frame, std::function<void()> executor) {
  auto view = std::make_shared<ProtectView>();
  view->setFrame(frame);
  view->setBackgroundColor(platform::ui::Color::clear());
  view->setExclusiveTouch(true);
  view->touchExecutor_ = std::move(executor);
  return view;
}

std::shared_ptr<ProtectView> ProtectView::initWithExecutor(std::function<void()> executor) {
  const Rect screen = platform::ui::Screen::bounds();
  return initWithFrame(Rect{0, 0, screen.width, screen.height - HomeBottomTabBar::kHeight}, std::move(executor));
}

void ProtectView::touchesBegan() {
  if (touchExecutor_) touchExecutor_();
}

// --- the shared controller ---

std::shared_ptr<HomeTabBarViewController> HomeTabBarViewController::sharedTabBarController() {
  auto& state = platform::Process::current().shared<HomeTabBarState>();
  if (!state.controller) {
    state.controller = std::make_shared<HomeTabBarViewController>();
    state.controller->build();
  }
  return state.controller;
}

void HomeTabBarViewController::build() {
  tipPopview_ = HomeMoreTipsPopview::initWithDelegate(weak_from_this());
  const std::weak_ptr<HomeTabBarViewController> weak = weak_from_this();
  protectView_ = ProtectView::initWithExecutor([weak] {
    if (auto self = weak.lock()) self->protectViewTouched();
  });
  protectView_->setHidden(true);
  if (auto nav = rootNavigation()) nav->view()->addSubview(protectView_);
}

std::shared_ptr<HomeBottomTabBar> HomeTabBarViewController::showHomeTabBarAddedTo(platform::ui::View& view,
                                                                                  int selectedTag) {
  auto controller = sharedTabBarController();
  auto bar = HomeBottomTabBar::initWithDelegate(controller);
  const double height = platform::ui::Screen::bounds().height;
  const bool full = selectedTag == HomeBottomTabBar::kCardTag || selectedTag == HomeBottomTabBar::kLifeTag;
  Rect frame = bar->frame();
  frame.y = full ? height - 20 - HomeBottomTabBar::kHeight : height - 20 - 44 - HomeBottomTabBar::kHeight;
  bar->setFrame(frame);
  view.addSubview(bar);
  bar->setSelectedIndex(selectedTag);
  return bar;
}

std::shared_ptr<HomeBottomTabBar> HomeTabBarViewController::getHomeBottomTabBarInView(const platform::ui::View& view) {
  for (const auto& sub : view.subviews()) {
    if (auto bar = std::dynamic_pointer_cast<HomeBottomTabBar>(sub)) return bar;
  }
  return nullptr;
}

void HomeTabBarViewController::fixTabBarStatusInView(const platform::ui::View& view, int selectedTag) {
  if (auto bar = getHomeBottomTabBarInView(view)) bar->setSelectedIndex(selectedTag);
}

void HomeTabBarViewController::touchUpInsideTabBarInView(const platform::ui::View& view, int selectedTag) {
  if (auto bar = getHomeBottomTabBarInView(view)) {
    if (auto button = bar->buttonWithTag(selectedTag)) button->sendActions(platform::ui::ControlEvent::TouchUpInside);
  }
}

void HomeTabBarViewController::dismissMoreTipView() {
  auto controller = sharedTabBarController();
  controller->tipPopview_->animatedDismiss([weak = std::weak_ptr(controller)] {
    if (auto self = weak.lock()) self->protectView_->setHidden(true);
  });
}

void HomeTabBarViewController::gotoTag(int tag, HomeBottomTabBar& tabBar) { tabBar.setSelectedIndex(tag); }

void HomeTabBarViewController::tabBar(HomeBottomTabBar& bar, Button& didSelectedItem) {
  fromTag_ = toTag_;
  toTag_ = didSelectedItem.tag();
  auto barRef = std::static_pointer_cast<HomeBottomTabBar>(bar.shared_from_this());
  const Rect target = didSelectedItem.frame();
  const double duration = std::abs(fromTag_ - toTag_) * kStepSeconds;
  const std::weak_ptr<HomeTabBarViewController> weak = weak_from_this();
  platform::ui::animate(
      duration,
      [barRef, target] {
        if (barRef->maskView()) barRef->maskView()->setFrame(target);
      },
      [weak, barRef](bool) {
        auto self = weak.lock();
        if (!self) return;
        HomeBottomTabBar::notifyTabBarSelected(self->toTag_);
        const int selected = barRef->selectedIndex();
        if (selected == HomeBottomTabBar::kWalletTag) {
          self->presentMoreView();
          return;
        }
        self->tipPopview_->animatedDismiss([weak, selected] {
          auto me = weak.lock();
          if (!me) return;
          me->protectView_->setHidden(true);
          if (selected == HomeBottomTabBar::kCardTag) me->presentHomeView();
          if (selected == HomeBottomTabBar::kMobileBankTag) me->presentTradingQueryView();
          if (selected == HomeBottomTabBar::kLifeTag) me->presentMapView();
        });
      });
}

void HomeTabBarViewController::select(int tag) {
  if (auto d = delegate_.lock()) d->selectTag(tag);
}

void HomeTabBarViewController::presentHomeView() { select(HomeBottomTabBar::kCardTag); }
void HomeTabBarViewController::presentTradingQueryView() { select(HomeBottomTabBar::kMobileBankTag); }
void HomeTabBarViewController::presentMapView() { select(HomeBottomTabBar::kLifeTag); }
void HomeTabBarViewController::presentMoreView() { select(HomeBottomTabBar::kWalletTag); }

void HomeTabBarViewController::presentController(const std::string& className) {
  auto nav = rootNavigation();
  if (!nav) return;
  for (const auto& screen : nav->stack()) {
    if (screen->className() == className) {
      nav->popTo(*screen, false);
      return;
    }
  }
  nav->popToRoot(false);
  if (auto screen = ScreenRegistry::shared().create(className)) nav->push(screen, false);
}

void HomeTabBarViewController::protectViewTouched() {
  const std::weak_ptr<HomeTabBarViewController> weak = weak_from_this();
  tipPopview_->animatedDismiss([weak] {
    if (auto self = weak.lock()) self->protectView_->setHidden(true);
  });
}

void HomeTabBarViewController::tipPopview(HomeMoreTipsPopview& popview, Button& /*didSelectedItem*/) {
  const int index = popview.selectedIndex();
  const std::weak_ptr<HomeTabBarViewController> weak = weak_from_this();
  tipPopview_->animatedDismiss([weak, index] {
    auto self = weak.lock();
    if (!self) return;
    self->protectView_->setHidden(true);
    using Handler = void (HomeTabBarViewController::*)();
    static constexpr std::array<Handler, 8> kHandlers{
        &HomeTabBarViewController::handleModifyPassword,    &HomeTabBarViewController::handleUserProfile,
        &HomeTabBarViewController::handleFeedBack,          &HomeTabBarViewController::handleUpdateClient,
        &HomeTabBarViewController::handleStartNuvexaSwiper, &HomeTabBarViewController::handlePresentMap,
        &HomeTabBarViewController::handleAboutUs,           &HomeTabBarViewController::handleLogout};
    if (index >= 0 && index < static_cast<int>(kHandlers.size())) ((*self).*kHandlers[static_cast<size_t>(index)])();
  });
}

void HomeTabBarViewController::push(const std::string& className) {
  auto nav = rootNavigation();
  if (!nav) return;
  if (auto screen = ScreenRegistry::shared().create(className)) nav->push(screen, true);
}

void HomeTabBarViewController::handleModifyPassword() {
  if (User::currentUser().isLogined()) {
    push("ModifyPasswordViewController");
  } else {
    push(LoginScreen::kClassName);
  }
}

void HomeTabBarViewController::handleUserProfile() { push("SettingListViewController"); }
void HomeTabBarViewController::handleFeedBack() { push("FeedBackViewController"); }

void HomeTabBarViewController::handleUpdateClient() {
  platform::log::info(kLog, "the upgrade check belongs to the More screen, not in this build");
}

void HomeTabBarViewController::handleStartNuvexaSwiper() {
  platform::log::info(kLog, "the reader opening belongs to the More screen, not in this build");
}

void HomeTabBarViewController::handlePresentMap() { platform::ui::Application::shared().openURL(kMicroblogAddress); }
void HomeTabBarViewController::handleAboutUs() { push("AboutUsViewController"); }

void HomeTabBarViewController::handleLogout() {
  if (!User::currentUser().isLogined()) return;
  User::currentUser().outOfLogin();
  HudExt::prompt(kLoggedOutToast);
  if (auto nav = rootNavigation()) nav->popToRoot(true);
}

void HomeTabBarViewController::gotoViewOfBoxTitle(const std::string& boxTitle) {
  if (boxTitle == HomeDataUtil::title("UserProfile")) {
    push("UserInfomationViewController");
  } else if (boxTitle == HomeDataUtil::title("ModifyPassword")) {
    push("ModifyPasswordViewController");
  } else if (boxTitle == "HomeTradingQueryViewController") {
    presentTradingQueryView();
  }
}

void HomeTabBarViewController::didBackFromLogin(platform::ui::ViewController& login) {
  if (auto nav = rootNavigation(); nav && nav->topViewController().get() == &login) nav->pop(true);
  toTag_ = fromTag_;
  HomeBottomTabBar::notifyTabBarSelected(fromTag_);
}

}  // namespace nvx
