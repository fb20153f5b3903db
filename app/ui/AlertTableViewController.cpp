#include "app/ui/AlertTableViewController.h"

#include "core/shell/AppServices.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace nvx {

using platform::ui::Button;
using platform::ui::Color;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::View;

AlertTableViewController::AlertTableViewController(Rect frame) : View(frame) {}

std::shared_ptr<AlertTableViewController> AlertTableViewController::initWithView(std::shared_ptr<View> content,
                                                                                 const std::string& title,
                                                                                 std::shared_ptr<Button> cancelBtn,
                                                                                 std::shared_ptr<Button> otherBtn) {
  // A platform alert left on screen would sit under the box and take its touches.
  platform::ui::AlertView::dismissAll();

  auto box = std::make_shared<AlertTableViewController>();
  box->drawTitleView(title);
  const Rect c = content ? content->frame() : Rect{};
  box->setFrame(Rect{kBoxX, kBoxY, c.width, c.height + kExtraHeight});
  box->setBackgroundColor(Color::white());
  box->layer().cornerRadius = 7;
  box->layer().masksToBounds = true;
  box->setClipsToBounds(true);
  if (content) {
    content->setFrame(Rect{c.x, kTitleHeight, c.width, c.height});
    box->addSubview(content);
  }
  if (cancelBtn || otherBtn) box->addButton({cancelBtn, otherBtn});
  return box;
}

void AlertTableViewController::drawTitleView(const std::string& title) {
  auto bar = platform::ui::ImageView::create(Rect{0, 0, kTitleWidth, kTitleHeight});
  bar->setImage(platform::ui::Image::named("title-bg"));
  auto label = platform::ui::Label::create(bar->bounds(), title);
  label->setBackgroundColor(Color::clear());
  label->setTextColor(Color::white());
  label->setFont(platform::ui::Font::boldSystem(20));
  label->setTextAlignment(platform::ui::TextAlignment::Center);
  bar->addSubview(label);
  addSubview(bar);
}

void AlertTableViewController::addButton(const std::vector<std::shared_ptr<Button>>& buttons) {
  std::vector<std::shared_ptr<Button>> given;
  for (const auto& b : buttons) {
    if (b) given.push_back(b);
  }
  if (given.empty()) return;
  const Rect box = frame();
  const double y = box.height - given.front()->frame().height / 2 - kButtonBottomGap;
  if (given.size() == 1) {
    given[0]->setCenter(Point{box.width / 2, y});
    addSubview(given[0]);
    return;
  }
  given[0]->setCenter(Point{box.width / 4, y});
  given[1]->setCenter(Point{3 * box.width / 4, y});
  addSubview(given[0]);
  addSubview(given[1]);
}

void AlertTableViewController::showAlert() {
  std::shared_ptr<View> host;
  if (auto nav = AppServices::current().navigationController()) host = nav->view();
  if (!host) host = platform::ui::Window::keyWindow();
  if (!host) return;
  maskView_ = View::create(platform::ui::Screen::bounds());
  maskView_->setBackgroundColor(Color::black().withAlpha(kCoverOpacity));
  host->addSubview(maskView_);
  host->addSubview(shared_from_this());
}

void AlertTableViewController::dismiss() {
  auto self = std::static_pointer_cast<AlertTableViewController>(shared_from_this());
  // The platform's shrink to a tenth is not modelled: nothing is drawn in between here.
  platform::ui::animate(
      kDismissSeconds,
      [this] {
        if (maskView_) maskView_->setAlpha(0);
        setAlpha(0);
      },
      [self](bool) {
        if (self->maskView_) self->maskView_->removeFromSuperview();
        self->removeFromSuperview();
      });
}

}  // namespace nvx
