// A one-column list picker that slides up from the bottom of a screen: a bar with Cancel and
// Done above a wheel of item titles. Done hands the item under the selection bar to the caller's
// doneAction; Cancel only closes the picker. While it is up a clear mask over the host view takes
// the touches, and any open GHTextField keyboard is closed first so that the picker never shares
// the screen with it.
//
// GHPickerView<Item> keeps the items of any type that can be compared with == (texts compare by
// value, shared objects by identity); GHPickerViewCore holds what does not depend on the type.
#pragma once
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/PickerView.h"
#include "platform/ui/View.h"

namespace nvx {

template <class Item>
class GHPickerView;

template <class Item>
class GHPickerViewDelegate {
 public:
  virtual ~GHPickerViewDelegate() = default;
  // A row was toggled on (toggleSelection).
  virtual void pickerView(GHPickerView<Item>& picker, const Item& didSelectObject) = 0;
};

class GHPickerViewCore : public platform::ui::View,
                         public platform::ui::PickerViewDataSource,
                         public platform::ui::PickerViewDelegate {
 public:
  static constexpr double kBarHeight = 44;
  static constexpr double kColumnWidth = 240;
  static constexpr double kRowHeight = 40;
  static constexpr double kSlideSeconds = 0.25;

  explicit GHPickerViewCore(platform::ui::Rect frame);

  // Slides the picker up from the bottom of the host view, over a mask that takes the host's
  // touches, with the selected item's row under the selection bar.
  void showInView(platform::ui::View& host);
  // Slides it down; then the picker and the mask leave the host.
  void dismiss();
  void cancel() { dismiss(); }
  // doneAction with the selected item, then dismiss.
  void done();
  // A tap on a row view (tag = row): its item becomes selected, the wheel reloads and shows it,
  // the row view gets a check mark and the delegate is told.
  void toggleSelection(platform::ui::View& rowView);

  const std::shared_ptr<platform::ui::PickerView>& internalePicker() const { return internalePicker_; }
  // Nothing before the picker was first shown.
  const std::shared_ptr<platform::ui::View>& maskView() const { return maskView_; }

  std::string kind() const override { return "GHPickerView"; }

  // --- the wheel's answers ---
  int numberOfComponents(platform::ui::PickerView&) override { return 1; }
  int numberOfRows(platform::ui::PickerView&, int) override { return itemCount(); }
  std::optional<std::string> titleForRow(platform::ui::PickerView&, int row, int) override;
  std::shared_ptr<platform::ui::View> viewForRow(platform::ui::PickerView&, int row, int,
                                                 std::shared_ptr<platform::ui::View>) override;
  std::optional<double> widthForComponent(platform::ui::PickerView&, int) override { return kColumnWidth; }
  std::optional<double> rowHeightForComponent(platform::ui::PickerView&, int) override { return kRowHeight; }
  void didSelectRow(platform::ui::PickerView&, int row, int) override;

 protected:
  // Builds the bar and the wheel (after construction: the wheel knows the picker weakly).
  void build();
  virtual int itemCount() const = 0;
  virtual std::string titleAt(int row) const = 0;
  // The row of the selected item; nothing when no item is selected or it is not among the items.
  virtual std::optional<int> selectedRow() const = 0;
  virtual void selectRow(int row) = 0;
  virtual void runDoneAction() = 0;
  virtual void tellDelegate(int row) = 0;

 private:
  std::shared_ptr<platform::ui::PickerView> internalePicker_;
  std::shared_ptr<platform::ui::View> maskView_;
};

template <class Item>
class GHPickerView : public GHPickerViewCore {
 public:
  using TitleGeter = std::function<std::string(const Item&)>;
  using DoneAction = std::function<void(const Item&)>;

  explicit GHPickerView(platform::ui::Rect frame) : GHPickerViewCore(frame) {}

  static std::shared_ptr<GHPickerView> create(platform::ui::Rect frame) {
    auto picker = std::make_shared<GHPickerView>(frame);
    picker->build();
    return picker;
  }
  static std::shared_ptr<GHPickerView> create(platform::ui::Rect frame, std::vector<Item> items) {
    auto picker = create(frame);
    picker->items_ = std::move(items);
    return picker;
  }

  const std::vector<Item>& items() const { return items_; }
  void setItems(std::vector<Item> items) { items_ = std::move(items); }
  const TitleGeter& titleGeter() const { return titleGeter_; }
  void setTitleGeter(TitleGeter geter) { titleGeter_ = std::move(geter); }
  const DoneAction& doneAction() const { return doneAction_; }
  void setDoneAction(DoneAction action) { doneAction_ = std::move(action); }
  const std::optional<Item>& selectedItem() const { return selectedItem_; }
  void setSelectedItem(std::optional<Item> item) { selectedItem_ = std::move(item); }
  std::shared_ptr<GHPickerViewDelegate<Item>> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<GHPickerViewDelegate<Item>> delegate) { delegate_ = std::move(delegate); }

 protected:
  int itemCount() const override { return static_cast<int>(items_.size()); }
  std::string titleAt(int row) const override {
    if (!validRow(row) || !titleGeter_) return {};
    return titleGeter_(items_[static_cast<size_t>(row)]);
  }
  std::optional<int> selectedRow() const override {
    if (!selectedItem_) return std::nullopt;
    auto it = std::find(items_.begin(), items_.end(), *selectedItem_);
    if (it == items_.end()) return std::nullopt;
    return static_cast<int>(it - items_.begin());
  }
  void selectRow(int row) override {
    if (validRow(row)) selectedItem_ = items_[static_cast<size_t>(row)];
  }
  void runDoneAction() override {
    // Copied first: the action may set a new one or let the picker go.
    auto action = doneAction_;
    auto item = selectedItem_;
    if (action && item) action(*item);
  }
  void tellDelegate(int row) override {
    auto d = delegate_.lock();
    if (d && validRow(row)) d->pickerView(*this, items_[static_cast<size_t>(row)]);
  }

 private:
  bool validRow(int row) const { return row >= 0 && static_cast<size_t>(row) < items_.size(); }

  std::vector<Item> items_;
  TitleGeter titleGeter_;
  DoneAction doneAction_;
  std::optional<Item> selectedItem_;
  std::weak_ptr<GHPickerViewDelegate<Item>> delegate_;
};

}  // namespace nvx
