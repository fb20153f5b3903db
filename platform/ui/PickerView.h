// A picker of wheels ("columns"), each a list of rows shown by title or by view.
//
// Loading, as for tables: the picker asks its data source and delegate for every row of every
// column at once (reloadAllComponents), at its first layout or at the first query. Each column
// starts at row 0 (-1 while it has no rows); a reload keeps each selection within its new rows.
// selectRow (a program's) tells nobody; spinTo (a user's spin that comes to rest on a row) makes
// the row selected and tells the delegate's didSelectRow, also when the wheel comes back to the
// row it started from.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace platform::ui {

class PickerView;

class PickerViewDataSource {
 public:
  virtual ~PickerViewDataSource() = default;
  virtual int numberOfComponents(PickerView&) = 0;
  virtual int numberOfRows(PickerView&, int component) = 0;
};

// Optional answers: std::nullopt (nullptr for views) = not implemented.
class PickerViewDelegate {
 public:
  virtual ~PickerViewDelegate() = default;
  virtual std::optional<std::string> titleForRow(PickerView&, int row, int component) { return std::nullopt; }
  // A view in place of the title; reusing is always nothing here.
  virtual std::shared_ptr<View> viewForRow(PickerView&, int row, int component, std::shared_ptr<View> reusing) {
    return nullptr;
  }
  virtual std::optional<double> widthForComponent(PickerView&, int component) { return std::nullopt; }
  virtual std::optional<double> rowHeightForComponent(PickerView&, int component) { return std::nullopt; }
  virtual void didSelectRow(PickerView&, int row, int component) {}
};

class PickerView : public View {
 public:
  static constexpr double kHeight = 216;
  static constexpr double kRowHeight = 44;

  explicit PickerView(Rect frame = {});
  static std::shared_ptr<PickerView> create(Rect frame = {});

  std::shared_ptr<PickerViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(std::weak_ptr<PickerViewDataSource> dataSource);
  std::shared_ptr<PickerViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<PickerViewDelegate> delegate);
  // Stored only (the bar across the selected rows).
  bool showsSelectionIndicator() const { return showsSelectionIndicator_; }
  void setShowsSelectionIndicator(bool on) { showsSelectionIndicator_ = on; }

  void reloadAllComponents();
  void reloadComponent(int component);
  int numberOfComponents();
  int numberOfRows(int component);
  // The row's title: the delegate's title, else the first text inside the row's view; empty
  // for a row that does not exist.
  std::string titleForRow(int row, int component);
  // The view the delegate gave for the row, or nothing.
  std::shared_ptr<View> viewForRow(int row, int component);
  double rowHeight(int component);

  // -1 when the column has no rows or does not exist.
  int selectedRow(int component);
  // Ignored for a row or column that does not exist.
  void selectRow(int row, int component, bool animated);

  // --- a simulated user ---
  // False when the row or column does not exist or the picker takes no touches.
  bool spinTo(int row, int component);

  void layoutSubviews() override;
  std::string kind() const override { return "PickerView"; }
  // The selected rows' titles, columns joined by " | "; nothing without any column.
  std::optional<std::string> displayText() const override;

 private:
  struct Column {
    std::vector<std::string> titles;
    std::vector<std::shared_ptr<View>> views;
    int selected = -1;
  };
  void loadIfNeeded();
  Column buildColumn(int component, int keepSelected);

  std::weak_ptr<PickerViewDataSource> dataSource_;
  std::weak_ptr<PickerViewDelegate> delegate_;
  bool showsSelectionIndicator_ = false;
  bool loaded_ = false;
  std::vector<Column> columns_;
};

}  // namespace platform::ui
