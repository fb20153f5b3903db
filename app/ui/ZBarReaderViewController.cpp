#include "app/ui/ZBarReaderViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::ui::MediaInfo;

namespace {

// The reader leaves the way it came: dismissed when presented, popped when pushed.
void leave(ZBarReaderViewController& reader) {
  if (reader.presentingViewController()) {
    reader.dismissModal(true);
  } else if (auto navigation = reader.navigationController()) {
    navigation->pop(true);
  }
}

}  // namespace

void ZBarReaderDelegate::imagePickerControllerDidCancel(ZBarReaderViewController& reader) { leave(reader); }

std::shared_ptr<ZBarReaderViewController> ZBarReaderViewController::create() {
  return std::make_shared<ZBarReaderViewController>();
}

void ZBarReaderViewController::setCameraOverlayView(std::shared_ptr<platform::ui::View> overlay) {
  if (overlay_ && isViewLoaded()) overlay_->removeFromSuperview();
  overlay_ = std::move(overlay);
  if (overlay_ && isViewLoaded()) view()->addSubview(overlay_);
}

void ZBarReaderViewController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(platform::ui::Color::black());
  if (overlay_) root->addSubview(overlay_);
  if (!showsControls_) return;
  platform::ui::Rect b = root->bounds();
  auto cancel = platform::ui::Button::create(platform::ui::Rect{10, b.height - 54, 60, 44});
  cancel->setTitle(std::string(kCancelTitle));
  cancel->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak = weak_from_this()](platform::ui::Control&) {
    if (auto self = std::static_pointer_cast<ZBarReaderViewController>(weak.lock())) self->cancel();
  });
  root->addSubview(cancel);
}

void ZBarReaderViewController::viewWillAppear(bool animated) {
  ViewController::viewWillAppear(animated);
  std::weak_ptr<platform::ui::ViewController> weak = weak_from_this();
  capture_ = platform::media::Camera::shared().startCapture([weak](const platform::media::CameraFrame& frame) {
    if (auto self = std::static_pointer_cast<ZBarReaderViewController>(weak.lock())) self->scanFrame(frame);
  });
}

void ZBarReaderViewController::viewWillDisappear(bool animated) {
  capture_.cancel();
  ViewController::viewWillDisappear(animated);
}

void ZBarReaderViewController::scanFrame(const platform::media::CameraFrame& frame) {
  if (!capture_.active()) return;
  ZBarSymbolSet symbols = scanner_.scanImage(frame);
  if (symbols.empty()) return;
  MediaInfo info;
  info.set(std::string(kResultsKey), std::move(symbols));
  if (auto image = platform::ui::Image::withPixels(frame.width, frame.height, frame.rgba)) {
    info.set(std::string(MediaInfo::kOriginalImage), std::move(*image));
  }
  auto keep = shared_from_this();
  if (auto delegate = readerDelegate_.lock()) delegate->imagePickerControllerDidFinishPickingMediaWithInfo(*this, info);
}

void ZBarReaderViewController::cancel() {
  auto keep = shared_from_this();
  if (auto delegate = readerDelegate_.lock()) {
    delegate->imagePickerControllerDidCancel(*this);
  } else {
    leave(*this);
  }
}

}  // namespace nvx
