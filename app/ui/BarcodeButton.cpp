#include "app/ui/BarcodeButton.h"

#include "core/shell/AppServices.h"
#include "app/ui/ButtonCreater.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "BarcodeButton";

using platform::Strings;
using platform::ui::Color;
using platform::ui::ControlState;
using platform::ui::Image;
using platform::ui::Rect;

}  // namespace

std::shared_ptr<BarcodeButton> BarcodeButton::barcodeButtonWithOrigin(platform::ui::Point origin, Completion complation) {
  auto button = std::make_shared<BarcodeButton>();
  button->initWithOrigin(origin, std::move(complation));
  return button;
}

void BarcodeButton::initWithOrigin(platform::ui::Point origin, Completion complation) {
  setFrame(Rect{origin.x, origin.y, 0, 0});
  addTarget(this, platform::ui::ControlEvent::TouchUpInside,
            [](platform::ui::Control& sender) { static_cast<BarcodeButton&>(sender).action(); });
  setImage(Image::named("camera.png"), ControlState::Normal);
  setImage(Image::named("camera-down.png"), ControlState::Highlighted);
  sizeToFit();
  competion_ = std::move(complation);
}

std::shared_ptr<BarcodeButton> BarcodeButton::self() {
  return std::static_pointer_cast<BarcodeButton>(shared_from_this());
}

void BarcodeButton::initBarReader() {
  if (barReader_) return;
  barReader_ = ZBarReaderViewController::create();
  barReader_->setReaderDelegate(std::static_pointer_cast<ZBarReaderDelegate>(self()));
  barReader_->setSupportedOrientationsMask(platform::ui::OrientationMask::Portrait |
                                           platform::ui::OrientationMask::PortraitUpsideDown);
  barReader_->setCameraOverlayView(customCamerOverlayView());
  barReader_->setShowsZBarControls(false);
  // Interleaved 2 of 5 has no check character of its own, and part of another code often reads
  // as one: it stays off so that a wrong bill number is never filled in.
  if (!barReader_->scanner().setSymbology(ZBarImageScanner::kSymbologyI25, ZBarImageScanner::kConfigEnable, 0)) {
    platform::log::warning(kTag, "the scanner refused to switch Interleaved 2 of 5 off");
  }
}

std::shared_ptr<platform::ui::View> BarcodeButton::customCamerOverlayView() {
  const double height = platform::ui::Screen::bounds().height - 44;
  auto overlay = platform::ui::View::create(Rect{0, 0, 320, height});
  overlay->setBackgroundColor(Color::clear());
  auto background = platform::ui::ImageView::create(overlay->bounds());
  background->setImage(Image::named("camera_bg.png"));
  overlay->addSubview(background);
  auto label = platform::ui::Label::create(Rect{0, 0, 320, 21}, Strings::localized("Camera_Range"));
  label->setCenter(platform::ui::Point{160, 330});
  label->setTextColor(Color::white());
  label->setFont(platform::ui::Font::boldSystem(21));
  label->setTextAlignment(platform::ui::TextAlignment::Center);
  label->setBackgroundColor(Color::clear());
  overlay->addSubview(label);
  return overlay;
}

void BarcodeButton::action() {
  if (!platform::ui::ImagePickerController::isSourceTypeAvailable(platform::ui::ImagePickerSourceType::Camera)) {
    auto alert = platform::ui::AlertView::create("", Strings::localized("No-Camera"), Strings::localized("Ok"));
    alert->setDelegate(std::static_pointer_cast<platform::ui::AlertViewDelegate>(self()));
    alert->show();
    return;
  }
  auto navigation = AppServices::current().navigationController();
  if (!navigation) {
    platform::log::warning(kTag, "no navigation stack to show the bar-code reader on");
    return;
  }
  initBarReader();
  barReader_->setTitle(kReaderTitle);
  navigation->push(barReader_, true);
  platform::ui::Application::shared().setStatusBarHidden(false);

  auto back = ButtonCreater::backBarButton();
  back->setExclusiveTouch(true);
  std::weak_ptr<BarcodeButton> weak = self();
  back->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto button = weak.lock()) button->backButtonPressed();
  });
  barReader_->navigationItem().setLeftBarButtonItem(platform::ui::BarButtonItem::withCustomView(back));
}

void BarcodeButton::backButtonPressed() {
  if (!barReader_) return;
  if (auto navigation = barReader_->navigationController()) navigation->pop(true);
}

void BarcodeButton::imagePickerControllerDidFinishPickingMediaWithInfo(ZBarReaderViewController& reader,
                                                                       const platform::ui::MediaInfo& info) {
  auto keep = self();
  std::optional<std::string> text;
  if (const auto* results = info.get<ZBarSymbolSet>(ZBarReaderViewController::kResultsKey); results && !results->empty()) {
    text = results->front().data;
  }
  // A copy: the completion may replace itself.
  if (Completion completion = competion_) completion(std::move(text));
  if (auto navigation = reader.navigationController()) navigation->pop(true);
}

}  // namespace nvx
