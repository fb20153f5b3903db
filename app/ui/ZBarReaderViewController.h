// zbar's bar-code reader screen: it shows the camera's view under an overlay and scans every
// frame the camera delivers while the screen is on screen (platform/media Camera). The first frame
// in which the scanner decodes a bar code goes to the reader delegate, with the decoded symbols
// under "ZBarReaderControllerResults" and the frame's picture as the original image; the delegate
// then takes the screen away. The capture stops as soon as the screen starts to leave, so no
// later frame reaches the delegate.
//
// zbar's own controls (shown unless switched off) are a Cancel button ("取消") at the bottom,
// which tells the delegate didCancel.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "app/ui/ZBarImageScanner.h"
#include "platform/media/Subscription.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ViewController.h"

namespace nvx {

class ZBarReaderViewController;

class ZBarReaderDelegate {
 public:
  virtual ~ZBarReaderDelegate() = default;
  // The reader decoded the symbols in info (ZBarReaderViewController::kResultsKey).
  virtual void imagePickerControllerDidFinishPickingMediaWithInfo(ZBarReaderViewController& reader,
                                                                   const platform::ui::MediaInfo& info) = 0;
  // zbar's Cancel control. Default: the reader is dismissed when presented, popped when pushed.
  virtual void imagePickerControllerDidCancel(ZBarReaderViewController& reader);
};

class ZBarReaderViewController : public platform::ui::ViewController {
 public:
  // The info key of the decoded symbols (a ZBarSymbolSet).
  static constexpr std::string_view kResultsKey = "ZBarReaderControllerResults";
  static constexpr const char* kCancelTitle = "取消";

  ZBarReaderViewController() = default;
  static std::shared_ptr<ZBarReaderViewController> create();

  std::string className() const override { return "ZBarReaderViewController"; }
  // The camera's view (black) with the overlay and zbar's controls on it.
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

  std::shared_ptr<ZBarReaderDelegate> readerDelegate() const { return readerDelegate_.lock(); }
  void setReaderDelegate(std::weak_ptr<ZBarReaderDelegate> delegate) { readerDelegate_ = std::move(delegate); }

  // The scanner that reads the frames (configure before the screen appears).
  ZBarImageScanner& scanner() { return scanner_; }

  // zbar's orientation bits (1 << orientation, as the platform's masks); default portrait.
  int supportedOrientationsMask() const { return orientationsMask_; }
  void setSupportedOrientationsMask(int mask) { orientationsMask_ = mask; }
  int supportedOrientations() const override { return orientationsMask_; }
  bool shouldAutorotateTo(platform::ui::Orientation o) const override {
    return (orientationsMask_ & platform::ui::maskOf(o)) != 0;
  }

  // A view laid over the camera's view (set before the screen loads its view).
  const std::shared_ptr<platform::ui::View>& cameraOverlayView() const { return overlay_; }
  void setCameraOverlayView(std::shared_ptr<platform::ui::View> overlay);
  bool showsZBarControls() const { return showsControls_; }
  void setShowsZBarControls(bool shows) { showsControls_ = shows; }

  // Whether the camera's frames are being scanned now.
  bool isScanning() const { return capture_.active(); }

 private:
  void scanFrame(const platform::media::CameraFrame& frame);
  void cancel();

  std::weak_ptr<ZBarReaderDelegate> readerDelegate_;
  ZBarImageScanner scanner_;
  int orientationsMask_ = platform::ui::OrientationMask::Portrait;
  std::shared_ptr<platform::ui::View> overlay_;
  bool showsControls_ = true;
  platform::media::Subscription capture_;
};

}  // namespace nvx
