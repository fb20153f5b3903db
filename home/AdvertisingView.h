// The home banner: one advert at a time on a clear front button, paged by a timer every 5 s with
// a push from the right, swiped by hand in either direction (wrapping at both ends), and a tap
// handed to the delegate with the advert in front. The list of cells is the advert manager's own
// list, so adverts that arrive after the banner was built join it.
#pragma once
#include <memory>
#include <vector>

#include "app/ui/NVXPageControl.h"
#include "home/AdvertisingCell.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

namespace nvx {

class AdvertisingView;
using AdvertisingCells = std::vector<std::shared_ptr<AdvertisingCell>>;

class AdvertisingDelegate {
 public:
  virtual ~AdvertisingDelegate() = default;
  virtual void advertisingViewClickedAd(AdvertisingView& view, AdvertisingCell& ad) = 0;
};

class AdvertisingView : public platform::ui::View {
 public:
  static constexpr double kPageWidth = 320;
  static constexpr double kHeight = 98;
  static constexpr double kPageSeconds = 5.0;
  static constexpr double kWaitingSeconds = 1.0;
  // The push from the right that brings the next advert in.
  static constexpr double kTransitionSeconds = 0.5;

  AdvertisingView(platform::ui::Rect frame, std::shared_ptr<AdvertisingCells> cells);
  ~AdvertisingView() override;
  // Builds the banner over the list (kept by reference): with cells the first one shows and the
  // timer pages every 5 s; without, the front button and scrolling are off and the timer looks
  // again every second.
  static std::shared_ptr<AdvertisingView> initWithFrame(platform::ui::Rect frame, std::shared_ptr<AdvertisingCells> cells);

  // Stops any running timer and starts a repeating one of that interval.
  void setTimer(double seconds);
  // One timer step: the next advert (wrapping), see the file comment.
  void changePage();
  // The front button's tap: the delegate gets the advert in front.
  void chooseAD();

  std::weak_ptr<AdvertisingDelegate> adDelegate() const { return adDelegate_; }
  void setAdDelegate(std::weak_ptr<AdvertisingDelegate> delegate) { adDelegate_ = std::move(delegate); }
  const std::shared_ptr<NVXPageControl>& pageControl() const { return pageControl_; }

  // --- state (the tests read it) ---
  int currentIndex() const { return index_; }
  double timerInterval() const { return interval_; }
  bool isTimerRunning() const;
  const std::shared_ptr<platform::ui::ScrollView>& scrollView() const { return scrollView_; }
  const std::shared_ptr<platform::ui::Button>& frontButton() const { return frontButton_; }
  // How many push transitions ran on the front button.
  int pushTransitions() const { return pushTransitions_; }

  std::string kind() const override { return "AdvertisingView"; }

 private:
  void build();
  void showCurrent();
  void stopTimer();
  void scrollViewWillBeginDragging();
  void scrollViewDidEndDecelerating();

  std::shared_ptr<AdvertisingCells> cells_;
  std::shared_ptr<platform::ui::ScrollView> scrollView_;
  std::shared_ptr<platform::ui::Button> frontButton_;
  std::shared_ptr<NVXPageControl> pageControl_;
  std::weak_ptr<AdvertisingDelegate> adDelegate_;
  int index_ = 0;
  double interval_ = 0;
  platform::TimerId timer_ = 0;
  int pushTransitions_ = 0;
};

}  // namespace nvx
