#include "account/IdentityCardPhotoViewController.h"

#include <algorithm>

#include "account/AccountForm.h"
#include "account/AccountOperations.h"
#include "account/IdentityData.h"
#include "app/ui/ButtonCreater.h"
#include "core/session/User.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;

std::shared_ptr<IdentityCardPhotoViewController> IdentityCardPhotoViewController::create() {
  return std::make_shared<IdentityCardPhotoViewController>();
}

std::shared_ptr<platform::ui::Button> IdentityCardPhotoViewController::photoButton(Rect frame, int tag) {
  auto button = platform::ui::Button::create(frame);
  button->setTag(tag);
  button->setBackgroundImage(platform::ui::Image::named("add-pic.png"));
  button->layer().cornerRadius = 5;
  std::weak_ptr<IdentityCardPhotoViewController> weak =
      std::static_pointer_cast<IdentityCardPhotoViewController>(self());
  button->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control& sender) {
    if (auto screen = weak.lock()) screen->getIdentityPhoto(sender);
  });
  return button;
}

void IdentityCardPhotoViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("IdPicTite"));
  auto message = platform::ui::Label::create(Rect{10, 10, 300, 35}, Strings::localized("IdPicMessage"));
  message->setFont(platform::ui::Font::system(14));
  message->setTextAlignment(platform::ui::TextAlignment::Center);
  message->setNumberOfLines(0);
  view()->addSubview(message);
  auto box = platform::ui::View::create(Rect{15, 45, 290, 120});
  box->layer().borderWidth = 1;
  box->layer().borderColor = platform::ui::Color::gray(0.8);
  box->layer().cornerRadius = 5;
  positivePhotoButton_ = photoButton(Rect{12, 16, 125, 88}, 0);
  nagativePhotoButton_ = photoButton(Rect{153, 16, 125, 88}, 1);
  box->addSubview(positivePhotoButton_);
  box->addSubview(nagativePhotoButton_);
  view()->addSubview(box);
  auto message2 = platform::ui::Label::create(Rect{10, 175, 300, 60}, Strings::localized("IdPicMessage2"));
  message2->setFont(platform::ui::Font::system(14));
  message2->setNumberOfLines(0);
  view()->addSubview(message2);
  auto me = std::static_pointer_cast<IdentityCardPhotoViewController>(self());
  account::addButton(*view(), ButtonCreater::bigButtonWithText(Strings::localized("Complete")),
                     Rect{9, 250, 302, 44}, me, &IdentityCardPhotoViewController::completeSettingIdentityCardPhoto);
  auto skip = ButtonCreater::barButtonWithText(Strings::localized("Skip"));
  account::onTap(*skip, me, &IdentityCardPhotoViewController::skipSettingIdentityCardPhoto);
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(skip));

  imagePickerController_ = platform::ui::ImagePickerController::create();
  imagePickerController_->navigationBar()->setBackgroundColor(platform::ui::Color::black());
  imagePickerController_->setAllowsEditing(true);
  imagePickerController_->setDelegate(std::static_pointer_cast<platform::ui::ImagePickerControllerDelegate>(me));
}

void IdentityCardPhotoViewController::getIdentityPhoto(platform::ui::Control& sender) {
  auto sheet = platform::ui::ActionSheet::create("", Strings::localized("Cancel"), std::nullopt,
                                                 {Strings::localized("Album"), Strings::localized("Photograph")});
  sheet->setTag(sender.tag());
  sheet->setDelegate(std::weak_ptr<platform::ui::ActionSheetDelegate>(
      std::static_pointer_cast<IdentityCardPhotoViewController>(self())));
  sheet->showIn(*view());
}

void IdentityCardPhotoViewController::actionSheetClickedButtonAtIndex(platform::ui::ActionSheet& sheet, int index) {
  using Source = platform::ui::ImagePickerSourceType;
  if (index == 0) {
    if (!imagePickerController_->setSourceType(Source::PhotoLibrary)) return;
  } else if (index == 1) {
    if (!platform::ui::ImagePickerController::isSourceTypeAvailable(Source::Camera)) return;
    if (!imagePickerController_->setSourceType(Source::Camera)) return;
    imagePickerController_->setShowsCameraControls(true);
  } else {
    return;
  }
  imagePickerController_->view()->setTag(sheet.tag());
  presentModal(imagePickerController_, true);
}

void IdentityCardPhotoViewController::imagePickerControllerDidFinishPickingMediaWithInfo(
    platform::ui::ImagePickerController& picker, const platform::ui::MediaInfo& info) {
  if (info.mediaType() == platform::ui::MediaInfo::kImageType) {
    if (auto edited = info.image(platform::ui::MediaInfo::kEditedImage)) {
      auto& button = picker.view()->tag() == 0 ? positivePhotoButton_ : nagativePhotoButton_;
      button->setImage(*edited);
    }
  }
  picker.dismissModal(true);
}

void IdentityCardPhotoViewController::imagePickerControllerDidCancel(platform::ui::ImagePickerController& picker) {
  picker.dismissModal(true);
}

std::optional<platform::ui::Image> IdentityCardPhotoViewController::photoOf(const platform::ui::Button& button) {
  return button.image(platform::ui::ControlState::Normal);
}

void IdentityCardPhotoViewController::completeSettingIdentityCardPhoto() {
  auto front = photoOf(*positivePhotoButton_);
  auto back = photoOf(*nagativePhotoButton_);
  if (!front && !back) {
    showPrompt(kNoPhoto);
    return;
  }
  std::optional<std::string> frontJpeg = front ? account::photoJpeg(*front, kQuality) : std::nullopt;
  std::optional<std::string> backJpeg = back ? account::photoJpeg(*back, kQuality) : std::nullopt;
  if ((front && !frontJpeg) || (back && !backJpeg)) {
    showPrompt(account::kPhotoUnreadable);
    return;
  }
  auto me = std::static_pointer_cast<IdentityCardPhotoViewController>(self());
  AccountOperations::idCardImageUpload(*this, User::currentUser().loginName(), std::move(frontJpeg),
                                       std::move(backJpeg), [me](AccountReply reply) {
                                         if (reply.kind == AccountReply::Kind::TokenHandled) return;
                                         if (!reply.ok()) {
                                           me->showPrompt(account::replyPrompt(reply));
                                           return;
                                         }
                                         me->showPrompt(kUploaded, [me] {
                                           platform::RunLoop::main().after(platform::secs(0.1), [me] {
                                             me->skipSettingIdentityCardPhoto();
                                           });
                                         });
                                       });
}

void IdentityCardPhotoViewController::skipSettingIdentityCardPhoto() {
  auto navigation = navigationController();
  if (!navigation) return;
  const auto& stack = navigation->stack();
  // Two places below this screen; with fewer screens below, back to the root.
  auto at = std::find(stack.begin(), stack.end(), self());
  if (at == stack.end() || at - stack.begin() < 2) {
    navigation->popToRoot(true);
    return;
  }
  navigation->popTo(**(at - 2), true);
}

}  // namespace nvx
