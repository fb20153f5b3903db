#include "home/AdvertisingView.h"

namespace nvx {

namespace {

using platform::ui::Rect;

}  // namespace

AdvertisingView::AdvertisingView(Rect frame, std::shared_ptr<AdvertisingCells> cells)
    : View(frame), cells_(cells ? std::move(cells) : std::make_shared<AdvertisingCells>()) {}

AdvertisingView::~AdvertisingView() { stopTimer(); }

std::shared_ptr<AdvertisingView> AdvertisingView::initWithFrame(Rect frame, std::shared_ptr<AdvertisingCells> cells) {
  auto banner = std::make_shared<AdvertisingView>(frame, std::move(cells));
  banner->build();
  return banner;
}

void AdvertisingView::build() {
  std::weak_ptr<AdvertisingView> weak = std::static_pointer_cast<AdvertisingView>(shared_from_this());

  scrollView_ = platform::ui::ScrollView::create(Rect{0, 0, kPageWidth, kHeight});
  scrollView_->setBackgroundColor(platform::ui::Color::clear());
  scrollView_->setPagingEnabled(true);
  scrollView_->setShowsHorizontalScrollIndicator(false);
  scrollView_->setContentSize(platform::ui::Size{kPageWidth * 3, kHeight});
  scrollView_->setContentOffset(platform::ui::Point{kPageWidth, 0});
  scrollView_->willBeginDragging = [weak](platform::ui::ScrollView&) {
    if (auto self = weak.lock()) self->scrollViewWillBeginDragging();
  };
  scrollView_->didEndDecelerating = [weak](platform::ui::ScrollView&) {
    if (auto self = weak.lock()) self->scrollViewDidEndDecelerating();
  };
  addSubview(scrollView_);

  frontButton_ = platform::ui::Button::create(Rect{kPageWidth, 0, kPageWidth, kHeight});
  frontButton_->setBackgroundColor(platform::ui::Color::clear());
  frontButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto self = weak.lock()) self->chooseAD();
  });
  scrollView_->addSubview(frontButton_);

  const int count = static_cast<int>(cells_->size());
  pageControl_ = NVXPageControl::initWithNumberOfPages(count);
  Rect dots = pageControl_->frame();
  pageControl_->setFrame(Rect{160 - dots.width / 2, 50 - dots.height / 2, dots.width, dots.height});
  pageControl_->setHidden(count == 1);
  // The dots only show where the banner is: a tap on them opens the advert like a tap elsewhere.
  pageControl_->setUserInteractionEnabled(false);
  addSubview(pageControl_);

  index_ = 0;
  if (count > 0) {
    showCurrent();
    setTimer(kPageSeconds);
  } else {
    frontButton_->setEnabled(false);
    scrollView_->setScrollEnabled(false);
    setTimer(kWaitingSeconds);
  }
}

void AdvertisingView::showCurrent() {
  const auto& cell = (*cells_)[static_cast<size_t>(index_)];
  frontButton_->setImage(cell->image());
}

bool AdvertisingView::isTimerRunning() const { return timer_ != 0 && platform::RunLoop::main().isScheduled(timer_); }

void AdvertisingView::stopTimer() {
  if (timer_ != 0) platform::RunLoop::main().cancel(timer_);
  timer_ = 0;
}

void AdvertisingView::setTimer(double seconds) {
  interval_ = seconds;
  stopTimer();
  std::weak_ptr<AdvertisingView> weak = std::static_pointer_cast<AdvertisingView>(shared_from_this());
  timer_ = platform::RunLoop::main().every(platform::secs(seconds), [weak] {
    if (auto self = weak.lock()) self->changePage();
  }, this);
}

void AdvertisingView::changePage() {
  const int count = static_cast<int>(cells_->size());
  if (count == 0) {
    index_ = 0;
    frontButton_->setEnabled(false);
    scrollView_->setScrollEnabled(false);
    return;
  }
  if (interval_ < kPageSeconds) setTimer(kPageSeconds);
  index_ = index_ + 1 >= count ? 0 : index_ + 1;
  showCurrent();
  frontButton_->setEnabled(true);
  if (count == 1) {
    scrollView_->setScrollEnabled(false);
    return;
  }
  scrollView_->setScrollEnabled(true);
  ++pushTransitions_;
  pageControl_->setCurrentPage(index_);
}

void AdvertisingView::chooseAD() {
  auto delegate = adDelegate_.lock();
  if (!delegate || index_ < 0 || static_cast<size_t>(index_) >= cells_->size()) return;
  auto cell = (*cells_)[static_cast<size_t>(index_)];
  delegate->advertisingViewClickedAd(*this, *cell);
}

void AdvertisingView::scrollViewWillBeginDragging() {
  stopTimer();
  frontButton_->setImage(std::nullopt);
  const int count = static_cast<int>(cells_->size());
  if (count == 0) return;
  const int previous = index_ == 0 ? count - 1 : index_ - 1;
  const int next = index_ + 1 >= count ? 0 : index_ + 1;
  const int shown[3] = {previous, index_, next};
  for (int i = 0; i < 3; ++i) {
    const auto& cell = (*cells_)[static_cast<size_t>(shown[i])];
    cell->setFrame(Rect{kPageWidth * i, 0, kPageWidth, kHeight});
    scrollView_->addSubview(cell);
  }
}

void AdvertisingView::scrollViewDidEndDecelerating() {
  const int count = static_cast<int>(cells_->size());
  if (count > 0) {
    const double offset = scrollView_->contentOffset().x;
    if (offset > kPageWidth) {
      index_ = index_ + 1 >= count ? 0 : index_ + 1;
    } else if (offset < kPageWidth / 2) {
      index_ = index_ == 0 ? count - 1 : index_ - 1;
    }
    showCurrent();
  }
  scrollView_->setContentOffset(platform::ui::Point{kPageWidth, 0});
  for (const auto& cell : *cells_) {
    if (cell->superview().get() == scrollView_.get()) cell->removeFromSuperview();
  }
  if (!isTimerRunning()) setTimer(kPageSeconds);
}

}  // namespace nvx
