// A row of a table: a content view holding the text label, the detail label and the picture of
// the cell's style, an accessory at the right end, backgrounds for the normal and the selected
// look.
//
// The labels and the image view are made on first use (a cell shows only what was asked for);
// the detail label is never shown in the Default style. Layout (layoutSubviews, run by the
// table when it places the cell and whenever the cell's size changes), in points:
//   - accessory: a standard one is kAccessoryWidth wide (13 disclosure indicator, 14 check mark,
//     29 detail-disclosure button); a custom accessory view keeps its width; it lies 10 from the
//     right edge, centred vertically; the content view then ends 10 before it; without an
//     accessory the content view fills the cell;
//   - picture: at x 10, centred vertically, at its own size; the texts start 10 after it (at 10
//     without one) and end 10 before the content view's right edge;
//   - Default: the text label takes that whole band, full height;
//   - Value1: the text label its left half, the detail label (right-aligned) its right half;
//   - Value2: the text label at x 10, 67 wide, right-aligned; the detail label from 83 to the end;
//   - Subtitle: the text label above the detail label, one line each, centred as a pair.
// Default fonts: text bold 20 (Value2: bold 12), detail 17 (Subtitle 14, Value2 bold 15).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace platform::ui {

struct IndexPath {
  int section = 0;
  int row = 0;
  bool operator==(const IndexPath&) const = default;
  auto operator<=>(const IndexPath&) const = default;
};

enum class TableViewCellStyle { Default, Value1, Value2, Subtitle };
enum class TableViewCellAccessoryType { None, DisclosureIndicator, DetailDisclosureButton, Checkmark };
enum class TableViewCellSelectionStyle { None, Blue, Gray };
enum class TableViewCellEditingStyle { None, Delete, Insert };

class TableView;

class TableViewCell : public View {
 public:
  explicit TableViewCell(TableViewCellStyle style = TableViewCellStyle::Default, std::string reuseIdentifier = {});
  static std::shared_ptr<TableViewCell> create(TableViewCellStyle style = TableViewCellStyle::Default,
                                               std::string reuseIdentifier = {});

  TableViewCellStyle style() const { return style_; }
  const std::string& reuseIdentifier() const { return reuseIdentifier_; }

  const std::shared_ptr<View>& contentView() const { return contentView_; }
  std::shared_ptr<Label> textLabel();
  std::shared_ptr<Label> detailTextLabel();
  std::shared_ptr<ImageView> imageView();
  // Without making them.
  std::shared_ptr<Label> textLabelIfMade() const { return textLabel_; }
  std::shared_ptr<Label> detailTextLabelIfMade() const { return detailLabel_; }

  TableViewCellAccessoryType accessoryType() const { return accessoryType_; }
  void setAccessoryType(TableViewCellAccessoryType type);
  // A custom accessory, shown in place of the standard one.
  const std::shared_ptr<View>& accessoryView() const { return accessoryView_; }
  void setAccessoryView(std::shared_ptr<View> view);
  TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
  void setSelectionStyle(TableViewCellSelectionStyle s) { selectionStyle_ = s; }
  // Behind the content; the selected one replaces it while the cell is selected or highlighted
  // (and its selection style is not None).
  const std::shared_ptr<View>& backgroundView() const { return backgroundView_; }
  void setBackgroundView(std::shared_ptr<View> view);
  const std::shared_ptr<View>& selectedBackgroundView() const { return selectedBackgroundView_; }
  void setSelectedBackgroundView(std::shared_ptr<View> view);

  bool isSelected() const { return selected_; }
  void setSelected(bool selected, bool animated = false);
  bool isHighlighted() const { return highlighted_; }
  void setHighlighted(bool highlighted, bool animated = false);

  // The table the cell is in, and its place there (set by the table).
  std::shared_ptr<TableView> tableView() const;
  const std::optional<IndexPath>& indexPath() const { return indexPath_; }

  // Standard accessory widths (0 for None).
  static double accessoryWidth(TableViewCellAccessoryType type);

  void layoutSubviews() override;
  virtual void prepareForReuse() {}

  std::string kind() const override { return "TableViewCell"; }

 protected:
  // " at=S,R", " accessory=disclosure|detail|checkmark" (standard ones), " [selected]".
  void describeExtras(std::string& out) const override;

 private:
  friend class TableView;
  void updateBackground();

  TableViewCellStyle style_;
  std::string reuseIdentifier_;
  std::shared_ptr<View> contentView_;
  std::shared_ptr<Label> textLabel_;
  std::shared_ptr<Label> detailLabel_;
  std::shared_ptr<ImageView> imageView_;
  TableViewCellAccessoryType accessoryType_ = TableViewCellAccessoryType::None;
  std::shared_ptr<View> accessoryView_;
  std::shared_ptr<View> detailButton_;   // the detail-disclosure button
  TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::Blue;
  std::shared_ptr<View> backgroundView_;
  std::shared_ptr<View> selectedBackgroundView_;
  bool selected_ = false;
  bool highlighted_ = false;
  std::weak_ptr<TableView> table_;
  std::optional<IndexPath> indexPath_;
};

}  // namespace platform::ui
