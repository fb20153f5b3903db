// The box of rows at the top of the pay, confirmation, result and detail screens: one line of
// "label:" and value per row, top to bottom, an optional prompt box under them and the
// "bill-border.png" edge at the foot. The view sets its own height from its content; callers
// place their next controls under its frame.
//
// Layout (points), with y starting at 15:
//   - left label at (12, y, 90, 17) with the alignment asked for, at (50, y, 90, 17) when it is
//     left-aligned; "label:" (the traffic-fine layout: the label alone);
//   - an amount row: the amount grouped in thousands with two decimals at (120, y, w, 17), w its
//     one-line width, red when asked, the currency unit at (120 + w + 2, y, 30, 17); y += 27;
//   - a text row: the value at (120, y, 180, h) (x 140 in the traffic-fine layout), h its height
//     within 180 x 100; y += h + 10; a second value line the same way at x 120. A missing or
//     empty value is written back into the row as "   " so that it keeps one line;
//   - y -= 12, then the prompt box when the prompt is not empty, then the border picture
//     (tag 1003, 40 high, reaching 10 points below the view) or 5 points of margin.
//
// The amount to pay is the first amount row labelled with the localized "PayCardAmount", else
// the last amount row.
#pragma once
#include <concepts>
#include <cstdint>
#include <memory>
#include <string_view>

#include "app/ui/TransactionInfoSource.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace nvx {

class TransactionInfoView : public platform::ui::View {
 public:
  static constexpr int kUnderLineTag = 1003;

  explicit TransactionInfoView(platform::ui::Rect frame) : View(frame) {}

  // The box for the rows, or nothing when there are none. The frame's height is ignored.
  // leftValueAlignment aligns the left labels; isFromViolation is the traffic-fine layout (no
  // colon after the labels, text values from x 140).
  static std::shared_ptr<TransactionInfoView> create(platform::ui::Rect frame,
                                                     std::shared_ptr<TransactionInfoSource> info,
                                                     platform::ui::TextAlignment letfValueAligment, bool lined,
                                                     bool isFromViolation);
  // Right-aligned labels, lined, the common layout.
  static std::shared_ptr<TransactionInfoView> create(platform::ui::Rect frame,
                                                     std::shared_ptr<TransactionInfoSource> info);

  // A row label: clear, RGB 51, 51, 51, system font 14, as many lines as the text needs.
  static std::shared_ptr<platform::ui::Label> labelWithFrame(platform::ui::Rect frame, std::string_view text);

  // The pay-amount row's label becomes the text and ":"; nothing without such a row.
  void changePayAmountLeftLabel(std::string_view text);
  // Takes the border picture away.
  void removeUnderLine();

  const std::shared_ptr<TransactionInfoSource>& info() const { return info_; }
  void setInfo(std::shared_ptr<TransactionInfoSource> info) { info_ = std::move(info); }
  const std::shared_ptr<platform::ui::Label>& payAmountLeftLb() const { return payAmountLeftLb_; }
  void setPayAmountLeftLb(std::shared_ptr<platform::ui::Label> label) { payAmountLeftLb_ = std::move(label); }
  // The amount the pay screens charge, in fen.
  int64_t payAmount() const { return payAmount_; }
  void setPayAmount(int64_t fen) { payAmount_ = fen; }
  template <std::floating_point Yuan>
  void setPayAmount(Yuan) = delete;
  bool hasPickAmount() const { return hasPickAmount_; }
  void setHasPickAmount(bool on) { hasPickAmount_ = on; }

 private:
  void build(platform::ui::TextAlignment alignment, bool lined, bool isFromViolation);

  std::shared_ptr<TransactionInfoSource> info_;
  std::shared_ptr<platform::ui::Label> payAmountLeftLb_;
  int64_t payAmount_ = 0;
  bool hasPickAmount_ = false;
};

}  // namespace nvx
