// Label factories of the client's look, chainable label setters, and labels that grow with
// their text. Keys are looked up in the application's string table.
#pragma once
#include <memory>
#include <string_view>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Label.h"
#include "app/ui/UnderlineUILabel.h"

namespace nvx {

class LabelExt {
 public:
  // Frame, as many lines as the text needs, clear background, the text, left aligned, the
  // default label font (or the system font of the size, and the colour).
  static std::shared_ptr<platform::ui::Label> lableFrame(platform::ui::Rect frame, std::string_view text);
  static std::shared_ptr<platform::ui::Label> lableFrame(platform::ui::Rect frame, std::string_view text,
                                                         double textSize);
  static std::shared_ptr<platform::ui::Label> lableFrame(platform::ui::Rect frame, std::string_view text,
                                                         double textSize, platform::ui::Color textColor);
  // The same as underlined labels.
  static std::shared_ptr<UnderlineUILabel> UnderLineFrame(platform::ui::Rect frame, std::string_view text);
  static std::shared_ptr<UnderlineUILabel> UnderLineFrame(platform::ui::Rect frame, std::string_view text,
                                                          double textSize);
  static std::shared_ptr<UnderlineUILabel> UnderLineFrame(platform::ui::Rect frame, std::string_view text,
                                                          double textSize, platform::ui::Color textColor);

  // (20, 8, 80, 30), the localized text, the group cell's left label font.
  static std::shared_ptr<platform::ui::Label> groupCellLeftLabel(std::string_view key);
  // The localized text in the system font of 14, grey.
  static std::shared_ptr<platform::ui::Label> groupPromptLabelWithFrame(platform::ui::Rect frame, std::string_view key);
  // (120, 12, 170, 20), the localized text, the strong label font, orange.
  static std::shared_ptr<platform::ui::Label> functionCellStrongLabel(std::string_view key);
  // (16, 5, 200, 50), the localized text, the strong label font.
  static std::shared_ptr<platform::ui::Label> businessDescTitleLabel(std::string_view key);
  // The group cell's left labels of "CreditCardNumber" and "MobileNumber".
  static std::shared_ptr<platform::ui::Label> creditCardNumberLabel();
  static std::shared_ptr<platform::ui::Label> telphoneNumberLabel();

  // Set one property and return the label, so that calls can be chained.
  template <class L>
  static std::shared_ptr<L> labelBindFontSize(std::shared_ptr<L> label, double size) {
    if (label) label->setFont(platform::ui::Font::system(size));
    return label;
  }
  template <class L>
  static std::shared_ptr<L> labelBindFont(std::shared_ptr<L> label, platform::ui::Font font) {
    if (label) label->setFont(font);
    return label;
  }
  template <class L>
  static std::shared_ptr<L> labelBindText(std::shared_ptr<L> label, std::string_view text) {
    if (label) label->setText(std::string(text));
    return label;
  }
  template <class L>
  static std::shared_ptr<L> labelBindTextColor(std::shared_ptr<L> label, platform::ui::Color color) {
    if (label) label->setTextColor(color);
    return label;
  }

  // The text measured in the label's font, word-wrapped, within the label's width and n lines;
  // when that is taller than the label, the label takes the measured size (n < 1 leaves the
  // size). In every case the label shows as many lines as the text needs.
  static void autoWrapWithMaxLines(platform::ui::Label& label, int n);
};

}  // namespace nvx
