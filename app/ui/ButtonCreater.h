// The client's standard buttons, made from the application's pictures: navigation-bar text
// buttons, the back button, full-width and half-width action buttons, and the address-book
// button beside phone fields. Every button but the address-book one takes touches exclusively.
#pragma once
#include <memory>
#include <string_view>

#include "platform/ui/Button.h"
#include "platform/ui/Geometry.h"

namespace nvx {

class ButtonCreater {
 public:
  // Tag of the back button's label.
  static constexpr int kBackLabelTag = 999;

  // A navigation text button: the text's width in the bold system font of 12 plus 26, 30 high;
  // backgrounds NVXImage::navDealImage (normal) and navDealDownImage (highlighted), stretchable
  // with a left cap of 10 and a top cap of 0; the title in bold 12.
  static std::shared_ptr<platform::ui::Button> barButtonWithText(std::string_view text);
  // The same layout with "btn-1.png" (or "btn-2.png") for normal only: the collection screens.
  static std::shared_ptr<platform::ui::Button> receivableBarButtonWithText(std::string_view text);
  static std::shared_ptr<platform::ui::Button> bigReceivableBarButtonWithText(std::string_view text);
  // The back button with the localized text of "Back".
  static std::shared_ptr<platform::ui::Button> backBarButton();
  // 60 x 30, backgrounds navBackImage / navBackDownImage, the text in a label (15, 0, 35, 30):
  // clear, white, centred, bold 12, tag 999.
  static std::shared_ptr<platform::ui::Button> backBarButtonWithText(std::string_view text);
  // The full-width action button, 302 x 44, title in bold 16.
  static std::shared_ptr<platform::ui::Button> bigButtonWithText(std::string_view text);
  static std::shared_ptr<platform::ui::Button> bigBlueButtonWithText(std::string_view text);
  // 148 x 44; buttonColor 1 grey, 0 blue, any other no normal or highlighted picture; the
  // disabled picture in every case.
  static std::shared_ptr<platform::ui::Button> halfButtonWithText(std::string_view text, int buttonColor);
  // A custom button at the frame with "add.png" for normal, running the action on a tap.
  static std::shared_ptr<platform::ui::Button> addPhoneNumberFrame(platform::ui::Rect frame,
                                                                   platform::ui::Control::Action action,
                                                                   const void* target);
};

}  // namespace nvx
