#include "app/ui/GHPickerView.h"

#include "app/ui/GHTextField.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Toolbar.h"

namespace nvx {

using platform::ui::BarButtonItem;
using platform::ui::BarButtonSystemItem;
using platform::ui::Color;
using platform::ui::PickerView;
using platform::ui::Rect;
using platform::ui::View;

namespace {

// The platform's autoresizing flag for a flexible width.
constexpr int kFlexibleWidth = 1 << 1;

}  // namespace

GHPickerViewCore::GHPickerViewCore(Rect frame) : View(frame) {}

void GHPickerViewCore::build() {
  std::weak_ptr<GHPickerViewCore> weak = std::static_pointer_cast<GHPickerViewCore>(shared_from_this());
  const Rect f = frame();

  auto bar = platform::ui::Toolbar::create(Rect{0, 0, f.width, kBarHeight});
  bar->setBarStyle(platform::ui::BarStyle::BlackTranslucent);
  bar->setTranslucent(true);
  bar->setAutoresizingMask(kFlexibleWidth);
  bar->setItems({BarButtonItem::withSystemItem(BarButtonSystemItem::Cancel,
                                               [weak](BarButtonItem&) {
                                                 if (auto p = weak.lock()) p->cancel();
                                               }),
                 BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace),
                 BarButtonItem::withSystemItem(BarButtonSystemItem::Done, [weak](BarButtonItem&) {
                   if (auto p = weak.lock()) p->done();
                 })});
  addSubview(bar);

  internalePicker_ = PickerView::create(Rect{0, kBarHeight, f.width, f.height - kBarHeight});
  internalePicker_->setAutoresizingMask(kFlexibleWidth);
  internalePicker_->setShowsSelectionIndicator(true);
  auto self = weak.lock();
  internalePicker_->setDataSource(std::shared_ptr<platform::ui::PickerViewDataSource>(self, self.get()));
  internalePicker_->setDelegate(std::shared_ptr<platform::ui::PickerViewDelegate>(self, self.get()));
  addSubview(internalePicker_);
}

void GHPickerViewCore::showInView(View& host) {
  platform::NotificationCenter::shared().post(GHTextField::kResignFirstResponderNotification, this);

  const double total = internalePicker_->frame().height + kBarHeight;
  if (!maskView_) {
    maskView_ = View::create();
    maskView_->setBackgroundColor(Color::clear());
  }
  maskView_->setFrame(host.bounds());
  host.addSubview(maskView_);

  const Rect hostFrame = host.frame();
  setFrame(Rect{0, hostFrame.height, hostFrame.width, total});
  host.addSubview(shared_from_this());
  platform::ui::animate(kSlideSeconds, [this, hostFrame, total] {
    setFrame(Rect{0, hostFrame.height - total, hostFrame.width, total});
  });

  // A selection that is not among the items shows the first row, which is then the item under
  // the selection bar that Done hands over.
  internalePicker_->reloadAllComponents();
  auto row = selectedRow();
  if (!row && itemCount() > 0) {
    row = 0;
    selectRow(0);
  }
  if (row) internalePicker_->selectRow(*row, 0, false);
}

void GHPickerViewCore::dismiss() {
  auto self = shared_from_this();   // alive until the slide has ended
  auto host = superview();
  const double bottom = host ? host->frame().height : frame().maxY();
  platform::ui::animate(
      kSlideSeconds,
      [this, bottom] {
        Rect f = frame();
        f.y = bottom;
        setFrame(f);
      },
      [self](bool) {
        auto picker = std::static_pointer_cast<GHPickerViewCore>(self);
        picker->removeFromSuperview();
        if (picker->maskView_) picker->maskView_->removeFromSuperview();
      });
}

void GHPickerViewCore::done() {
  auto keep = shared_from_this();
  runDoneAction();
  dismiss();
}

void GHPickerViewCore::toggleSelection(View& rowView) {
  auto keep = shared_from_this();
  const int row = rowView.tag();
  if (row < 0 || row >= itemCount()) return;
  selectRow(row);
  internalePicker_->reloadAllComponents();
  internalePicker_->selectRow(row, 0, true);
  if (auto* cell = dynamic_cast<platform::ui::TableViewCell*>(&rowView)) {
    cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::Checkmark);
  }
  tellDelegate(row);
}

std::optional<std::string> GHPickerViewCore::titleForRow(PickerView&, int row, int) { return titleAt(row); }

std::shared_ptr<View> GHPickerViewCore::viewForRow(PickerView& picker, int row, int, std::shared_ptr<View>) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setBackgroundColor(Color::clear());
  cell->setFrame(Rect{0, 0, picker.frame().width - 80, kRowHeight});
  cell->textLabel()->setText(titleAt(row));
  cell->setTag(row);
  return cell;
}

void GHPickerViewCore::didSelectRow(PickerView&, int row, int) { selectRow(row); }

}  // namespace nvx
