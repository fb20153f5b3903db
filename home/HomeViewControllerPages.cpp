// The home screen's message page and More page, and the reorder screen of its common page.
// The message page is made anew each time the message item is tapped; leaving it counts its
// newest message as seen.
#include <algorithm>

#include "home/HomeViewController.h"
#include "home/MessageCenterView.h"
#include "home/MoreView.h"
#include "home/RangeTableViewController.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::ui::Rect;

void HomeViewController::buildMorePage() {
  moreview_ = MoreView::initWithFrame(Rect{0, 0, 320, contenView_->frame().height});
  moreview_->setHidden(true);
  const std::weak_ptr<HomeViewController> weak = self();
  moreview_->moreDelegate = [weak] {
    if (auto me = weak.lock()) me->updateUnReadMsg();
  };
  moreview_->walletRebuild = [weak] {
    if (auto me = weak.lock()) me->rebuildWalletView();
  };
  moreview_->setTitleArray();
  homeView_->addSubview(moreview_);
}

void HomeViewController::hideExtraPages() {
  if (moreview_) moreview_->setHidden(true);
  if (messageview_ && !messageview_->isHidden()) {
    messageview_->setReadMsgId();
    messageview_->setHidden(true);
  }
}

void HomeViewController::showMorePage() {
  if (messageview_) messageview_->setHidden(true);
  if (!moreview_) return;
  moreview_->resetLoginNameLb();
  moreview_->setHidden(false);
}

void HomeViewController::gotoNoticeView() {
  if (moreview_) moreview_->setHidden(true);
  if (messageview_) messageview_->removeFromSuperview();
  messageview_ = MessageCenterView::initWithFrame(Rect{0, 0, 320, contenView_->frame().height});
  const std::weak_ptr<HomeViewController> weak = self();
  messageview_->delegate = [weak](int64_t number) {
    if (auto me = weak.lock()) me->updateUnReadNumber(number);
  };
  messageview_->loadView();
  // Just below the top bar.
  const auto& pages = homeView_->subviews();
  auto bar = std::find(pages.begin(), pages.end(), std::static_pointer_cast<platform::ui::View>(navbar_));
  homeView_->insertSubview(messageview_, static_cast<size_t>(bar - pages.begin()));
  messageview_->setReadMsgId();
}

void HomeViewController::resetLocation() {
  auto range = RangeTableViewController::create();
  range->setCommonArray(commonArray_);
  const std::weak_ptr<HomeViewController> weak = self();
  range->delegate = [weak](const HomeBoxList& page) {
    auto me = weak.lock();
    if (!me) return;
    me->reloadTheCommonView(page);
    me->showNewTip();
  };
  presentModal(platform::ui::NavigationController::create(range), true);
}

}  // namespace nvx
