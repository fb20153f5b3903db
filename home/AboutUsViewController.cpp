#include "home/AboutUsViewController.h"

#include "app/ui/WalletProtocolViewController.h"
#include "home/AgreementViewController.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace nvx {

namespace ui = platform::ui;
using platform::Strings;
using ui::Rect;

namespace {

constexpr ui::Color kAboutColor{0.376, 0.39, 0.47, 1};

std::shared_ptr<ui::Label> aboutLabel(Rect frame, std::string text, double size) {
  auto label = ui::Label::create(frame, std::move(text));
  label->setTextAlignment(ui::TextAlignment::Left);
  label->setBackgroundColor(ui::Color::clear());
  label->setTextColor(kAboutColor);
  label->setFont(ui::Font::system(size));
  return label;
}

std::shared_ptr<ui::View> underline(Rect frame) {
  auto line = ui::View::create(frame);
  line->setBackgroundColor(kAboutColor);
  line->setAlpha(0.85);
  return line;
}

}  // namespace

void AboutUsViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("AboutUs"));
  auto root = view();
  const std::weak_ptr<AboutUsViewController> weak = std::static_pointer_cast<AboutUsViewController>(shared_from_this());

  auto logo = ui::ImageView::create(ui::Image::named("about-logo.png"));
  logo->setFrame(Rect{35, 35, 130, 32});
  root->addSubview(logo);

  auto agreement = ui::Button::create(Rect{30, 80, 140, 20});
  agreement->setTitle(Strings::localized("NuvexaProtocol"));
  agreement->setTitleColor(kAboutColor);
  agreement->addTarget(this, ui::ControlEvent::TouchUpInside, [weak](ui::Control&) {
    if (auto me = weak.lock()) me->handleProtocol();
  });
  root->addSubview(agreement);
  root->addSubview(underline(Rect{35, 100, 125, 1}));

  auto wallet = ui::Button::create(Rect{35, 105, 165, 20});
  wallet->setTitle(kWalletProtocolTitle);
  wallet->setTitleColor(kAboutColor);
  wallet->setTitleColor(kAboutColor, ui::ControlState::Selected);
  wallet->addTarget(this, ui::ControlEvent::TouchUpInside, [weak](ui::Control&) {
    if (auto me = weak.lock()) me->handleWalletProtocol();
  });
  root->addSubview(wallet);
  root->addSubview(underline(Rect{35, 125, 165, 1}));

  root->addSubview(aboutLabel(Rect{35, 135, 250, 20}, Strings::localized("AboutUsMessage"), 16));
  const std::string build = platform::Bundle::main().info("CFBundleVersion").value_or("");
  root->addSubview(aboutLabel(Rect{35, 155, 250, 20}, Strings::localized("AboutUsVersion") + build, 16));

  auto rule = ui::ImageView::create(ui::Image::named("about-line.png"));
  rule->setFrame(Rect{0, 187, 320, 3});
  root->addSubview(rule);
  root->addSubview(aboutLabel(Rect{35, 205, 250, 25}, Strings::localized("ServicePhone"), 18));

  auto call = ui::Button::create(Rect{35, 240, 250, 46});
  call->setBackgroundImage(ui::Image::named("about-call-btn.png"));
  call->setTitle(Strings::localized("ServicePhoneNumberText"));
  call->setTitleFont(ui::Font::system(22));
  call->setTitleColor(kAboutColor);
  call->addTarget(this, ui::ControlEvent::TouchUpInside, [weak](ui::Control&) {
    if (auto me = weak.lock()) me->makeCall();
  });
  root->addSubview(call);
}

void AboutUsViewController::makeCall() {
  auto sheet = ui::ActionSheet::create(Strings::localized("AboutUsPhoneText"), Strings::localized("Cancel"),
                                       Strings::localized("Call"));
  sheet->setDelegate(std::static_pointer_cast<ui::ActionSheetDelegate>(
      std::static_pointer_cast<AboutUsViewController>(shared_from_this())));
  auto nav = navigationController();
  sheet->showIn(nav ? *nav->view() : *view());
}

void AboutUsViewController::actionSheetDidDismissWithButtonIndex(ui::ActionSheet& /*actionSheet*/, int index) {
  if (index != 0) return;
  const std::string number = Strings::localized("ServicePhoneNumber");
  if (platform::UrlOpener::shared().open("tel:" + number)) return;
  ui::AlertView::create(Strings::localized("ServicePhone") + number, Strings::localized("NoPhone"),
                        Strings::localized("Know"))
      ->show();
}

void AboutUsViewController::handleProtocol() {
  if (auto nav = navigationController()) {
    nav->push(AgreementViewController::create(), true);
  }
}

void AboutUsViewController::handleWalletProtocol() {
  if (auto nav = navigationController()) {
    nav->push(std::make_shared<WalletProtocolViewController>(), true);
  }
}

}  // namespace nvx
