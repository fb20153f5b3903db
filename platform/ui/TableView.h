// A list of rows in sections, in the Plain or the Grouped style.
//
// Loading: reloadData asks the data source for every section and every row's cell at once (not
// only the rows on screen, so that tests see all cells) and lays them out from the top, in
// content coordinates: the table header view, then per section its header, its rows and its
// footer, then the table footer view; contentSize follows. A table that was never loaded loads
// itself at its first layout (the Inspector lays out before every act) or at the first query of
// its rows. Loading clears the selection and keeps the scroll offset within the new content.
//
// Heights: a row is the delegate's heightForRow, else rowHeight() (44). A section header is the
// delegate's heightForHeader, else the header view's own height (viewForHeader), else, with a
// title (titleForHeader), 22 in Plain and 46 in Grouped, else 0 in Plain and 10 in Grouped;
// footers likewise (footer titles: 22 and 36). As on the phone, a Grouped table treats a height
// of 0 or less answered by the delegate as "the default". A title becomes a Label across the
// header (inset 10 in Plain, 20 in Grouped). Grouped rows are inset 10 points on both sides.
//
// Selection by a user (tapRow; the Inspector's tapCell): nothing when selection is off; the
// delegate's willSelectRow may redirect the selection to another row or refuse it; the row
// selected before is deselected (didDeselectRow), the new row's cell is selected, then
// didSelectRow. selectRow / deselectRow (a program's) tell the delegate nothing.
//
// visibleCells answers every cell: all rows are built, and a screen that walks the visible cells
// to update them must reach the rows a phone would rebuild when they scroll into view.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

namespace platform::ui {

enum class TableViewStyle { Plain, Grouped };
enum class TableViewCellSeparatorStyle { None, SingleLine, SingleLineEtched };
enum class TableViewScrollPosition { None, Top, Middle, Bottom };
enum class TableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle };

class TableView;

// Required: numberOfRows and cellForRow. Optional answers: std::nullopt = not implemented.
class TableViewDataSource {
 public:
  virtual ~TableViewDataSource() = default;
  virtual int numberOfRows(TableView&, int section) = 0;
  virtual std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath) = 0;
  virtual std::optional<int> numberOfSections(TableView&) { return std::nullopt; }   // 1
  virtual std::optional<std::string> titleForHeader(TableView&, int section) { return std::nullopt; }
  virtual std::optional<std::string> titleForFooter(TableView&, int section) { return std::nullopt; }
  virtual std::optional<bool> canEditRow(TableView&, IndexPath) { return std::nullopt; }   // yes
  // A delete (or insert) the user confirmed. Return true when handled; the default handles
  // nothing, and a table whose data source handles nothing offers no swipe-to-delete.
  virtual bool commitEditing(TableView&, TableViewCellEditingStyle, IndexPath) { return false; }
};

class TableViewDelegate {
 public:
  // The answer of willSelectRow: the row to select, or nothing to refuse the selection.
  using Selection = std::optional<IndexPath>;

  virtual ~TableViewDelegate() = default;
  virtual std::optional<double> heightForRow(TableView&, IndexPath) { return std::nullopt; }
  virtual std::optional<double> heightForHeader(TableView&, int section) { return std::nullopt; }
  virtual std::optional<double> heightForFooter(TableView&, int section) { return std::nullopt; }
  // nullptr: none (the title, if any, is shown).
  virtual std::shared_ptr<View> viewForHeader(TableView&, int section) { return nullptr; }
  virtual std::shared_ptr<View> viewForFooter(TableView&, int section) { return nullptr; }
  virtual std::optional<Selection> willSelectRow(TableView&, IndexPath) { return std::nullopt; }
  virtual void didSelectRow(TableView&, IndexPath) {}
  virtual void didDeselectRow(TableView&, IndexPath) {}
  virtual void accessoryButtonTapped(TableView&, IndexPath) {}
  virtual void willDisplayCell(TableView&, TableViewCell&, IndexPath) {}
  virtual std::optional<TableViewCellEditingStyle> editingStyleForRow(TableView&, IndexPath) { return std::nullopt; }
  virtual std::optional<std::string> titleForDeleteConfirmation(TableView&, IndexPath) { return std::nullopt; }
};

class TableView : public ScrollView {
 public:
  explicit TableView(Rect frame = {}, TableViewStyle style = TableViewStyle::Plain);
  static std::shared_ptr<TableView> create(Rect frame = {}, TableViewStyle style = TableViewStyle::Plain);

  TableViewStyle style() const { return style_; }

  std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(std::weak_ptr<TableViewDataSource> dataSource);
  std::shared_ptr<TableViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<TableViewDelegate> delegate);

  double rowHeight() const { return rowHeight_; }
  void setRowHeight(double h) { rowHeight_ = h; }
  const std::shared_ptr<View>& tableHeaderView() const { return headerView_; }
  void setTableHeaderView(std::shared_ptr<View> view);
  const std::shared_ptr<View>& tableFooterView() const { return footerView_; }
  void setTableFooterView(std::shared_ptr<View> view);
  // Behind the rows, the size of the table (placed at the scroll position when laid out).
  const std::shared_ptr<View>& backgroundView() const { return backgroundView_; }
  void setBackgroundView(std::shared_ptr<View> view);
  TableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
  void setSeparatorStyle(TableViewCellSeparatorStyle s) { separatorStyle_ = s; }
  const Color& separatorColor() const { return separatorColor_; }
  void setSeparatorColor(Color c) { separatorColor_ = c; }
  bool allowsSelection() const { return allowsSelection_; }
  void setAllowsSelection(bool on) { allowsSelection_ = on; }
  bool isEditing() const { return editing_; }
  void setEditing(bool editing, bool animated = false) { editing_ = editing; }

  // --- loading ---
  void reloadData();
  bool isLoaded() const { return loaded_; }
  // The batch updates of the phone: the data source already agrees with the change. Only the
  // rows named are built (or dropped); the rows below them move. Inserted rows are given in
  // their new positions, deleted and reloaded rows in their old ones. The selection follows its
  // row; it goes with a deleted or reloaded row or section. A data source whose counts do not
  // agree with the change gets a full reload (and an error in the log). A table never loaded
  // just loads.
  void insertRows(const std::vector<IndexPath>& rows, TableViewRowAnimation animation);
  void deleteRows(const std::vector<IndexPath>& rows, TableViewRowAnimation animation);
  void reloadRows(const std::vector<IndexPath>& rows, TableViewRowAnimation animation);
  void reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation);
  // Always nothing: cells are not reused here.
  std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier) { return nullptr; }

  // --- rows (the table loads first when it never did) ---
  int numberOfSections();
  int numberOfRows(int section);
  std::shared_ptr<TableViewCell> cellForRow(IndexPath path);
  std::optional<IndexPath> indexPathForCell(const TableViewCell& cell);
  std::vector<std::shared_ptr<TableViewCell>> visibleCells();
  std::vector<IndexPath> indexPathsForVisibleRows();
  // In content coordinates; empty for a row that does not exist.
  Rect rectForRow(IndexPath path);
  std::shared_ptr<View> headerViewForSection(int section);
  void scrollToRow(IndexPath path, TableViewScrollPosition position, bool animated);

  // --- selection ---
  std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
  void selectRow(std::optional<IndexPath> path, bool animated, TableViewScrollPosition position = TableViewScrollPosition::None);
  void deselectRow(IndexPath path, bool animated);

  // --- a simulated user ---
  // A tap on the row's cell; true when a row ended up selected (see the header comment).
  bool tapRow(IndexPath path);
  // A tap on the row's detail-disclosure button: the delegate's accessoryButtonTapped. False
  // when the row has no such button.
  bool tapAccessory(IndexPath path);
  // A swipe across the row and a tap on the delete confirmation: canEditRow (no answer = yes)
  // and the delegate's editing style (no answer = Delete) must allow a delete; then the data
  // source's commitEditing. Its answer.
  bool swipeToDelete(IndexPath path);

  // The detail-disclosure button's action (TableViewCell): tells the delegate.
  void accessoryButtonTapped(IndexPath path);

  void layoutSubviews() override;
  std::string kind() const override { return "TableView"; }

 protected:
  void describeExtras(std::string& out) const override;

 private:
  struct Section {
    std::shared_ptr<View> header;
    std::shared_ptr<View> footer;
    double top = 0;
    double headerHeight = 0;
    double footerHeight = 0;
    std::vector<std::shared_ptr<TableViewCell>> cells;
    std::vector<Rect> rects;
    double rowsHeight() const;
  };
  void loadIfNeeded();
  void clearBuilt();
  void forgetCell(TableViewCell& cell);
  double headerHeight(int section, const std::shared_ptr<View>& view, const std::optional<std::string>& title, bool footer);
  // A section's header or footer view (the delegate's, or a label of its title) and its height.
  std::shared_ptr<View> sectionEnd(TableViewDataSource& source, int section, bool footer, double& height);
  std::shared_ptr<TableViewCell> buildCell(TableViewDataSource& source, IndexPath path, double& height);
  Section buildSection(TableViewDataSource& source, int section);
  // Adds the section's views as subviews from index at on; the index after them.
  size_t addSectionViews(const Section& section, size_t at);
  // Where the view of (section, row) goes among the subviews: after the nearest one before it.
  size_t subviewIndexAfter(size_t section, size_t row) const;
  // Sets the tops of everything from (section, row) on, the content size and the offset.
  void place(size_t fromSection, size_t fromRow);
  // Whether a row or section edit can be applied now; a table not built yet is built instead.
  bool readyForEdit(bool nothingToDo);
  // Ends an edit: places everything from (section, row) on and tells the delegate of the new cells.
  void finishEdit(size_t fromSection, size_t fromRow, const std::vector<std::shared_ptr<TableViewCell>>& shown);
  bool agreesWithDataSource(TableViewDataSource& source, const std::vector<int>& rowChange);
  void renumber(size_t section, size_t fromRow);
  // The rows per section, sorted, each below the section's row count plus extraRows; nothing
  // when one is not.
  std::optional<std::map<int, std::vector<int>>> rowsBySection(const std::vector<IndexPath>& rows, int extraRows) const;
  bool exists(IndexPath path) const;

  TableViewStyle style_;
  std::weak_ptr<TableViewDataSource> dataSource_;
  std::weak_ptr<TableViewDelegate> delegate_;
  double rowHeight_ = 44;
  std::shared_ptr<View> headerView_;
  std::shared_ptr<View> footerView_;
  std::shared_ptr<View> backgroundView_;
  TableViewCellSeparatorStyle separatorStyle_ = TableViewCellSeparatorStyle::SingleLine;
  Color separatorColor_ = Color::gray(0.88);
  bool allowsSelection_ = true;
  bool editing_ = false;
  bool loaded_ = false;
  bool loading_ = false;
  double loadedWidth_ = 0;
  std::vector<Section> sections_;
  std::optional<IndexPath> selected_;
};

}  // namespace platform::ui
