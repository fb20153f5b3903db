// A read-only text.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"

namespace platform::ui {

enum class TextAlignment { Left, Center, Right };

// How a view draws its text: font, colour and alignment. Labels, text fields and text views
// have it; each starts with its own font.
class TextAppearance {
 public:
  const Font& font() const { return font_; }
  void setFont(Font font) { font_ = font; }
  const Color& textColor() const { return textColor_; }
  void setTextColor(Color c) { textColor_ = c; }
  TextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(TextAlignment a) { alignment_ = a; }

 protected:
  explicit TextAppearance(Font font) : font_(font) {}
  ~TextAppearance() = default;

 private:
  Font font_;
  Color textColor_ = Color::black();
  TextAlignment alignment_ = TextAlignment::Left;
};

class Label : public View, public TextAppearance {
 public:
  // Labels take no touches (user interaction off), like the platform's. The system font of 17
  // points, black, left-aligned.
  explicit Label(Rect frame = {}, std::string text = {});
  static std::shared_ptr<Label> create(Rect frame = {}, std::string text = {});

  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }
  // 0 = as many lines as the text needs.
  int numberOfLines() const { return numberOfLines_; }
  void setNumberOfLines(int n) { numberOfLines_ = n < 0 ? 0 : n; }

  std::string kind() const override { return "Label"; }
  std::optional<std::string> displayText() const override { return text_; }

 private:
  std::string text_;
  int numberOfLines_ = 1;
};

}  // namespace platform::ui
