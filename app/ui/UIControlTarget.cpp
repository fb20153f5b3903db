#include "app/ui/UIControlTarget.h"

#include "platform/foundation/Process.h"

namespace nvx {

namespace ui = platform::ui;

namespace {

// The callback lists of the controls, each kept while its control lives. Entries of controls
// that are gone are dropped whenever the table is used. Main thread only.
struct ControlBlockLists {
  struct Entry {
    std::weak_ptr<const ui::View> control;
    UIControlTargetList list;
  };
  std::vector<Entry> entries;

  Entry* find(const ui::Control& control, bool create) {
    std::erase_if(entries, [](const Entry& e) { return e.control.expired(); });
    auto self = control.weak_from_this().lock();
    if (!self) return nullptr;   // not a shared object: nothing can be attached to it
    for (auto& e : entries) {
      if (e.control.lock() == self) return &e;
    }
    if (!create) return nullptr;
    entries.push_back(Entry{self, {}});
    return &entries.back();
  }
};

ControlBlockLists& lists() { return platform::Process::current().shared<ControlBlockLists>(); }

}  // namespace

std::shared_ptr<UIControlTarget> UIControlTarget::targetWithAction(Block block) {
  return std::make_shared<UIControlTarget>(std::move(block));
}

void UIControlTarget::eventReceiver(ui::Control& sender) const {
  if (block_) block_(sender);
}

void addBlock(ui::Control& control, UIControlTarget::Block block, uint32_t controlEvents) {
  auto target = UIControlTarget::targetWithAction(std::move(block));
  // The registration holds the target, so the callback runs as long as the control has it.
  control.addTarget(target.get(), controlEvents, [target](ui::Control& sender) { target->eventReceiver(sender); });
  if (auto* entry = lists().find(control, true)) entry->list.push_back(std::move(target));
}

UIControlTargetList blocks(const ui::Control& control) {
  auto* entry = lists().find(control, false);
  return entry ? entry->list : UIControlTargetList{};
}

void setBlocks(ui::Control& control, UIControlTargetList list) {
  if (auto* entry = lists().find(control, true)) entry->list = std::move(list);
}

void blockControlEvent(ui::Control& control) {
  for (const auto& target : blocks(control)) {
    if (target) target->eventReceiver(control);
  }
}

}  // namespace nvx
