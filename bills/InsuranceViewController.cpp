#include "bills/InsuranceViewController.h"

#include "bills/InsuranceListViewController.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

void InsuranceViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("Insurance_Place"));
  view()->setBackgroundColor(Color::white());
  logoButton_ = platform::ui::Button::create(Rect{35, 20, 250, 75});
  logoButton_->setImage(platform::ui::Image::named("logo_bx_tpy.png"));
  std::weak_ptr<InsuranceViewController> weak = std::static_pointer_cast<InsuranceViewController>(shared_from_this());
  logoButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    auto self = weak.lock();
    auto navigation = self ? self->navigationController() : nullptr;
    if (navigation) navigation->push(InsuranceListViewController::initWithIsPromotion(false), true);
  });
  view()->addSubview(logoButton_);
  auto tips = platform::ui::ImageView::create(platform::ui::Image::named("bg_wxts.png"));
  tips->setFrame(Rect{10, 110, 300, 180});
  view()->addSubview(tips);
  auto text = platform::ui::Label::create(Rect{20, 120, 280, 160}, Strings::localized("Insurance_Tips"));
  text->setFont(Font::system(16));
  text->setTextColor(Color::gray(0.5));
  text->setNumberOfLines(7);
  text->setBackgroundColor(Color::clear());
  view()->addSubview(text);
}

}  // namespace nvx
