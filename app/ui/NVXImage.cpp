#include "app/ui/NVXImage.h"

#include "core/session/ThemeUtil.h"

namespace nvx {

using platform::ui::Image;

std::optional<Image> NVXImage::imageNamed(std::string_view name) { return ThemeUtil::imageNamed(name); }
std::optional<Image> NVXImage::navBackImage() { return imageNamed("back_btn_normal.png"); }
std::optional<Image> NVXImage::navBackDownImage() { return imageNamed("back_btn_selected.png"); }
std::optional<Image> NVXImage::navDealImage() { return imageNamed("action_btn_normal.png"); }
std::optional<Image> NVXImage::navDealDownImage() { return imageNamed("action_btn_selected.png"); }

}  // namespace nvx
