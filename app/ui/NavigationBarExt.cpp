#include "app/ui/NavigationBarExt.h"

#include "core/session/ThemeUtil.h"
#include "platform/foundation/Process.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::ui::NavigationBar;

namespace {

// The picture drawn at the back of a bar.
class BarPictureView final : public platform::ui::ImageView {
 public:
  using ImageView::ImageView;
};

struct NavigationBarLookState {
  bool installed = false;
};

}  // namespace

void NavigationBarExt::applyDefaultLook(NavigationBar& bar) {
  for (const auto& sub : bar.subviews()) {
    if (dynamic_cast<const BarPictureView*>(sub.get()) != nullptr) return;
  }
  auto picture = std::make_shared<BarPictureView>(platform::ui::Rect{0, 0, 320, 44});
  picture->setImage(ThemeUtil::imageNamed("top_bg.png"));
  bar.insertSubview(picture, 0);
}

void NavigationBarExt::installDefaultLook() {
  auto& state = platform::Process::current().shared<NavigationBarLookState>();
  if (state.installed) return;
  state.installed = true;
  platform::ui::ViewController::addViewLoadedHook([](platform::ui::ViewController& screen) {
    if (auto* nav = dynamic_cast<platform::ui::NavigationController*>(&screen)) {
      if (auto bar = nav->navigationBar()) applyDefaultLook(*bar);
    }
  });
}

}  // namespace nvx
