// A short information bubble: white text on a rounded patch of colour, centred across a host
// view at a height given as a fraction of the host's height. It fades in (0.3 s), stays, fades
// out from 1.5 s after it was shown (1.5 s) and is gone 3.0 s after it was shown.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

namespace nvx {

class SGInfoAlert : public platform::ui::View {
 public:
  static constexpr double kFadeInSeconds = 0.3;
  static constexpr double kShownSeconds = 1.5;
  static constexpr double kFadeOutSeconds = 1.5;

  // What drawRect draws: the patch filled with the colour at opacity 0.8 (corner radius 4),
  // then the text in white, system font 14, in textRect, truncated at the tail, with a grey
  // shadow offset (0, -1) and blur 2.
  struct Drawing {
    platform::ui::Color fill;
    double fillOpacity = 0.8;
    double cornerRadius = 4;
    std::string text;
    platform::ui::Rect textRect;
    platform::ui::Color textColor = platform::ui::Color::white();
    platform::ui::Font font = platform::ui::Font::system(14);
  };

  explicit SGInfoAlert(platform::ui::Rect frame) : View(frame) {}

  // Shows the bubble in the host: vertical 0 is the host's top, 1 its bottom (clamped to 0...1).
  static std::shared_ptr<SGInfoAlert> showInfo(std::string_view info, platform::ui::Color bgColor,
                                               platform::ui::View& view, double vertical);
  // A bubble 1.2 times the text's size, clear, keeping the colour, the text and its size.
  static std::shared_ptr<SGInfoAlert> initWithFrame(platform::ui::Size fontSize, platform::ui::Color bgColor,
                                                    std::string_view info);

  Drawing drawRect(platform::ui::Rect rect) const;
  // Fades out (1.5 s), then removes itself.
  void fadeAway();
  void remove();

  const platform::ui::Color& bgcolor() const { return bgcolor_; }
  const std::string& info() const { return info_; }
  platform::ui::Size fontSize() const { return fontSize_; }

  std::optional<std::string> displayText() const override { return info_; }

 private:
  platform::ui::Color bgcolor_;
  std::string info_;
  platform::ui::Size fontSize_;
};

}  // namespace nvx
