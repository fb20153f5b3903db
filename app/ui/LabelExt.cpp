#include "app/ui/LabelExt.h"

#include "app/ui/ColorExt.h"
#include "app/ui/FontExt.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::Rect;
using platform::ui::Size;
using platform::ui::TextAlignment;

namespace {

constexpr Color kOrange{1.0, 0.5, 0.0, 1.0};

template <class L>
std::shared_ptr<L> made(Rect frame, std::string_view text, Font font) {
  auto label = std::make_shared<L>(frame, std::string(text));
  label->setNumberOfLines(0);
  label->setBackgroundColor(ColorExt::defaultLabelBgColor());
  label->setTextAlignment(TextAlignment::Left);
  label->setFont(font);
  return label;
}

}  // namespace

std::shared_ptr<Label> LabelExt::lableFrame(Rect frame, std::string_view text) {
  return made<Label>(frame, text, FontExt::defaultLabelFont());
}

std::shared_ptr<Label> LabelExt::lableFrame(Rect frame, std::string_view text, double textSize) {
  return made<Label>(frame, text, Font::system(textSize));
}

std::shared_ptr<Label> LabelExt::lableFrame(Rect frame, std::string_view text, double textSize, Color textColor) {
  auto label = lableFrame(frame, text, textSize);
  label->setTextColor(textColor);
  return label;
}

std::shared_ptr<UnderlineUILabel> LabelExt::UnderLineFrame(Rect frame, std::string_view text) {
  return made<UnderlineUILabel>(frame, text, FontExt::defaultLabelFont());
}

std::shared_ptr<UnderlineUILabel> LabelExt::UnderLineFrame(Rect frame, std::string_view text, double textSize) {
  return made<UnderlineUILabel>(frame, text, Font::system(textSize));
}

std::shared_ptr<UnderlineUILabel> LabelExt::UnderLineFrame(Rect frame, std::string_view text, double textSize,
                                                           Color textColor) {
  auto label = UnderLineFrame(frame, text, textSize);
  label->setTextColor(textColor);
  label->setNeedsDisplay();
  return label;
}

std::shared_ptr<Label> LabelExt::groupCellLeftLabel(std::string_view key) {
  auto label = lableFrame(Rect{20, 8, 80, 30}, Strings::localized(key));
  label->setFont(FontExt::groupCellLeftLabelFont());
  return label;
}

std::shared_ptr<Label> LabelExt::groupPromptLabelWithFrame(Rect frame, std::string_view key) {
  return lableFrame(frame, Strings::localized(key), 14, Color::gray(0.5));
}

std::shared_ptr<Label> LabelExt::functionCellStrongLabel(std::string_view key) {
  auto label = lableFrame(Rect{120, 12, 170, 20}, Strings::localized(key));
  label->setFont(FontExt::strongLabelFont());
  label->setTextColor(kOrange);
  return label;
}

std::shared_ptr<Label> LabelExt::businessDescTitleLabel(std::string_view key) {
  auto label = lableFrame(Rect{16, 5, 200, 50}, Strings::localized(key));
  label->setFont(FontExt::strongLabelFont());
  return label;
}

std::shared_ptr<Label> LabelExt::creditCardNumberLabel() { return groupCellLeftLabel("CreditCardNumber"); }

std::shared_ptr<Label> LabelExt::telphoneNumberLabel() { return groupCellLeftLabel("MobileNumber"); }

void LabelExt::autoWrapWithMaxLines(Label& label, int n) {
  Rect frame = label.frame();
  if (n > 0) {
    Size fit = platform::ui::TextMetrics::measure(label.text(), label.font(),
                                                  Size{frame.width, n * label.font().lineHeight()});
    if (fit.height > frame.height) {
      frame.width = fit.width;
      frame.height = fit.height;
      label.setFrame(frame);
    }
  }
  label.setNumberOfLines(0);
}

}  // namespace nvx
