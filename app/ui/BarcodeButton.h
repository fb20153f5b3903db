// The camera button beside a bill-number field: a tap opens zbar's bar-code reader screen on the
// application's navigation stack, and the text of the first bar code read goes to the completion,
// so that the number need not be typed.
//
// The reader screen is made at the first tap and kept for the button's life. Without a camera the
// tap shows the "No-Camera" alert instead. The reader's back button returns to the form without
// calling the completion.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ui/ZBarReaderViewController.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Geometry.h"

namespace nvx {

class BarcodeButton : public platform::ui::Button,
                      public ZBarReaderDelegate,
                      public platform::ui::AlertViewDelegate {
 public:
  // The decoded text; nothing when the reader delivered no symbol.
  using Completion = std::function<void(std::optional<std::string> text)>;

  // Title of the reader screen.
  static constexpr const char* kReaderTitle = "扫描条形码";

  BarcodeButton() = default;
  // A button made with initWithOrigin.
  static std::shared_ptr<BarcodeButton> barcodeButtonWithOrigin(platform::ui::Point origin, Completion complation);
  // At the origin, sized to its "camera.png" picture ("camera-down.png" highlighted), sending
  // action on a tap; keeps the completion.
  void initWithOrigin(platform::ui::Point origin, Completion complation);

  const Completion& competion() const { return competion_; }
  void setCompetion(Completion competion) { competion_ = std::move(competion); }

  // The reader screen, once made.
  const std::shared_ptr<ZBarReaderViewController>& barReader() const { return barReader_; }
  // Makes the reader screen unless it exists: the button as its delegate, portrait orientations
  // only, customCamerOverlayView over the camera, zbar's controls hidden, Interleaved 2 of 5 off.
  void initBarReader();
  // A clear view (0, 0, 320, screen height - 44) filled by "camera_bg.png", with the localized
  // "Camera_Range" in white bold 21-point text centred at (160, 330).
  std::shared_ptr<platform::ui::View> customCamerOverlayView();

  // The tap: the "No-Camera" alert without a camera; otherwise the reader, titled kReaderTitle,
  // pushed on the application's navigation stack with the standard back button.
  void action();
  // The reader's back button: pops the reader.
  void backButtonPressed();

  // The reader's result: the first symbol's text goes to the completion and the reader is popped.
  void imagePickerControllerDidFinishPickingMediaWithInfo(ZBarReaderViewController& reader,
                                                           const platform::ui::MediaInfo& info) override;


 private:
  std::shared_ptr<BarcodeButton> self();

  std::shared_ptr<ZBarReaderViewController> barReader_;
  Completion competion_;
};

}  // namespace nvx
