#include "client/WizardView.h"

#include <cstdio>

#include "client/NVXAppDelegate.h"
#include "core/session/UIScreen.h"
#include "platform/device/Device.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace nvx {

namespace {

constexpr double kPageWidth = 320;
constexpr double kStatusBarHeight = 20;
constexpr double kStartButtonWidth = 114;
constexpr double kFollowButtonWidth = 93;
constexpr double kDotSize = 15;
constexpr double kButtonHeight = 31;

bool isFourInchScreen() { return UIScreen::isFourInch(); }

void setShowWizard(bool on) {
  if (auto delegate = NVXAppDelegate::shared()) delegate->setIsShowWizard(on);
}

void storeVersion() {
  platform::UserDefaults::standard().set(NVXAppDelegate::kStartHelpPageKey, NVXAppDelegate::shortVersion());
}

}  // namespace

std::shared_ptr<WizardView> WizardView::initWithPages(std::vector<std::string> pages) {
  return std::make_shared<WizardView>(std::move(pages));
}

WizardView::WizardView(std::vector<std::string> pages) : helpInfoImages_(std::move(pages)) {}

void WizardView::show() {
  setShowWizard(true);
  auto window = platform::ui::Window::keyWindow();
  if (!window) {
    auto windows = platform::ui::Application::shared().windows();
    if (!windows.empty()) window = windows.front();
  }
  if (window) {
    window->addSubview(std::static_pointer_cast<View>(shared_from_this()));
    window->bringSubviewToFront(*this);
  }
  storeVersion();

  const double height = platform::Device::screen().bounds.height;
  const bool fourInch = isFourInchScreen();
  const double buttonBottomGap = fourInch ? 114 : 94;
  setFrame(platform::ui::Screen::applicationFrame());

  scrollView_ = platform::ui::ScrollView::create(platform::ui::Rect{0, 0, frame().width, frame().height});
  scrollView_->setBackgroundColor(platform::ui::Color::white());
  scrollView_->setPagingEnabled(true);
  scrollView_->setBounces(false);
  scrollView_->setShowsHorizontalScrollIndicator(false);
  scrollView_->setContentSize(
      platform::ui::Size{static_cast<double>(helpInfoImages_.size()) * kPageWidth, height - kStatusBarHeight});
  addSubview(scrollView_);

  if (helpInfoImages_.empty()) {
    // Nothing to show: the guide leaves at once, and with it the upright-only rule.
    removeFromSuperview();
    setShowWizard(false);
    return;
  }

  for (size_t i = 0; i < helpInfoImages_.size(); ++i) {
    const double x = static_cast<double>(i) * kPageWidth;
    auto page = platform::ui::ImageView::create(platform::ui::Rect{x, 0, kPageWidth, height - kStatusBarHeight});
    if (fourInch) {
      char name[64];
      std::snprintf(name, sizeof name, "app_guide_%zu-568h@2x.png", i + 1);
      page->setImage(platform::ui::Image::named(name));
    } else {
      page->setImage(platform::ui::Image::named(helpInfoImages_[i]));
    }
    scrollView_->addSubview(page);

    if (i + 1 == helpInfoImages_.size()) {
      startButton_ = platform::ui::Button::create(
          platform::ui::Rect{x + 60, height - kStatusBarHeight - buttonBottomGap, kStartButtonWidth, kButtonHeight});
      startButton_->setBackgroundImage(platform::ui::Image::named(fourInch ? "anniu_open@2x.png" : "anniu_open.png"));
      startButton_->setTitleFont(platform::ui::Font::boldSystem(20));
      std::weak_ptr<WizardView> weak = std::static_pointer_cast<WizardView>(shared_from_this());
      startButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
        if (auto self = weak.lock()) self->beginNuvexa();
      });
      scrollView_->addSubview(startButton_);

      followButton_ = platform::ui::Button::create(
          platform::ui::Rect{x + 174, height - kStatusBarHeight - buttonBottomGap, kFollowButtonWidth, kButtonHeight});
      followButton_->setBackgroundImage(
          platform::ui::Image::named(fourInch ? "anniu_attention@2x.png" : "anniu_attention.png"));
      followButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
        if (auto self = weak.lock()) self->handleNuvexaGovWeibo();
      });
      scrollView_->addSubview(followButton_);
    }
  }
  std::weak_ptr<WizardView> weak = std::static_pointer_cast<WizardView>(shared_from_this());
  scrollView_->didEndDecelerating = [weak](platform::ui::ScrollView&) {
    if (auto self = weak.lock()) self->scrollViewDidEndDecelerating();
  };

  currentPage_ = 0;
  const double dotsWidth = kDotSize * static_cast<double>(helpInfoImages_.size());
  pageControl_ = platform::ui::PageControl::create(
      platform::ui::Rect{160 - dotsWidth / 2, frame().height - 55 - kDotSize / 2, dotsWidth, kDotSize});
  pageControl_->setNumberOfPages(static_cast<int>(helpInfoImages_.size()));
  pageControl_->setCurrentPage(0);
  pageControl_->setUserInteractionEnabled(false);
  pageControl_->setBackgroundColor(platform::ui::Color::clear());
  pageControl_->setHidden(helpInfoImages_.size() == 1);
  addSubview(pageControl_);
}

void WizardView::scrollViewDidEndDecelerating() {
  currentPage_ = static_cast<int>((scrollView_->contentOffset().x + 300) / kPageWidth);
  if (pageControl_) pageControl_->setCurrentPage(currentPage_);
}

void WizardView::handleNuvexaGovWeibo() {
  platform::ui::Application::shared().openURL(kMicroblogAddress);
  beginNuvexa();
}

void WizardView::beginNuvexa() {
  storeVersion();
  removeFromSuperview();
  setShowWizard(false);
}

}  // namespace nvx
