#include "home/MessageDetailViewController.h"

#include "home/MessageCell.h"
#include "platform/ui/Screen.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

void MessageDetailViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  const double H = ui::Screen::bounds().height;
  auto panel = ui::View::create(Rect{10, 20, 300, H - 20 - 44 - 50});
  panel->setBackgroundColor(ui::Color::white());
  panel->layer().borderWidth = 1;
  panel->layer().borderColor = ui::Color{0.792, 0.8, 0.8, 1};
  panel->layer().cornerRadius = 6;
  panel->setClipsToBounds(true);
  view()->addSubview(panel);

  auto heading = ui::Label::create(Rect{5, 5, 290, 35}, massage_.msgPurpose.value_or(""));
  heading->setFont(ui::Font::system(16));
  panel->addSubview(heading);

  const std::string time = massage_.msgPutoutTime.value_or("");
  timeLabel_ = ui::Label::create(Rect{5, 40, 290, 35}, MessageCell::dateOf(time) + " " + MessageCell::clockOf(time));
  timeLabel_->setFont(ui::Font::system(14));
  timeLabel_->setTextColor(ui::Color::gray(0.5));
  panel->addSubview(timeLabel_);

  webView_ = ui::WebView::create(Rect{5, 70, 290, H - 20 - 44 - 130});
  webView_->setBackgroundColor(ui::Color::white());
  webView_->loadHTMLString(massage_.msgContent.value_or(""));
  panel->addSubview(webView_);
}

}  // namespace nvx
