// A read-only text.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"

namespace platform::ui {

enum class TextAlignment { Left, Center, Right };

class Label : public View {
 public:
  // Labels take no touches (user interaction off), like the platform's.
  explicit Label(Rect frame = {}, std::string text = {});
  static std::shared_ptr<Label> create(Rect frame = {}, std::string text = {});

  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }
  const Font& font() const { return font_; }
  void setFont(Font font) { font_ = font; }
  const Color& textColor() const { return textColor_; }
  void setTextColor(Color c) { textColor_ = c; }
  TextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(TextAlignment a) { alignment_ = a; }
  // 0 = as many lines as the text needs.
  int numberOfLines() const { return numberOfLines_; }
  void setNumberOfLines(int n) { numberOfLines_ = n < 0 ? 0 : n; }

  std::string kind() const override { return "Label"; }
  std::optional<std::string> displayText() const override { return text_; }

 private:
  std::string text_;
  Font font_ = Font::system(17);
  Color textColor_ = Color::black();
  TextAlignment alignment_ = TextAlignment::Left;
  int numberOfLines_ = 1;
};

}  // namespace platform::ui
