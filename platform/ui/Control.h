// Controls: enabled, selected and highlighted states and target-action. An action is a callback
// registered for a mask of events under an owner (any pointer identifying who registered it,
// used only to remove it again).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/View.h"

namespace platform::ui {

// Control events (a mask; values as the platform numbers them).
namespace ControlEvent {
inline constexpr uint32_t TouchDown = 1u << 0;
inline constexpr uint32_t TouchDownRepeat = 1u << 1;
inline constexpr uint32_t TouchDragInside = 1u << 2;
inline constexpr uint32_t TouchDragOutside = 1u << 3;
inline constexpr uint32_t TouchDragEnter = 1u << 4;
inline constexpr uint32_t TouchDragExit = 1u << 5;
inline constexpr uint32_t TouchUpInside = 1u << 6;
inline constexpr uint32_t TouchUpOutside = 1u << 7;
inline constexpr uint32_t TouchCancel = 1u << 8;
inline constexpr uint32_t ValueChanged = 1u << 12;
inline constexpr uint32_t EditingDidBegin = 1u << 16;
inline constexpr uint32_t EditingChanged = 1u << 17;
inline constexpr uint32_t EditingDidEnd = 1u << 18;
inline constexpr uint32_t EditingDidEndOnExit = 1u << 19;
inline constexpr uint32_t AllTouchEvents = 0x00000FFFu;
inline constexpr uint32_t AllEditingEvents = 0x000F0000u;
inline constexpr uint32_t AllEvents = 0xFFFFFFFFu;
}  // namespace ControlEvent

// A control's state for per-state looks; when a look is missing for the state, Normal's is used.
enum class ControlState { Normal, Highlighted, Selected, Disabled };

class Control : public View {
 public:
  using Action = std::function<void(Control&)>;

  explicit Control(Rect frame = {});

  bool isEnabled() const { return enabled_; }
  void setEnabled(bool on) { enabled_ = on; }
  bool isSelected() const { return selected_; }
  void setSelected(bool on) { selected_ = on; }
  bool isHighlighted() const { return highlighted_; }
  void setHighlighted(bool on) { highlighted_ = on; }
  // Disabled, else highlighted, else selected, else normal.
  ControlState state() const;

  // Actions run in the order they were added.
  void addTarget(const void* owner, uint32_t events, Action action);
  // Takes the events off the first action of owner registered for any of them (the action goes
  // when no event is left). False when there is none.
  bool removeFirstTarget(const void* owner, uint32_t events);
  // Takes the events off every action of owner (of any owner when owner is nullptr).
  void removeTargets(const void* owner, uint32_t events = ControlEvent::AllEvents);
  size_t actionCount(uint32_t events = ControlEvent::AllEvents) const;
  // Runs every action registered for any of the events (a snapshot: actions added or removed by
  // an action take effect next time). The control stays alive until the last action returns.
  void sendActions(uint32_t events);

  // A finger's tap: touch down (highlighted), then touch up inside. Nothing happens, and false
  // is returned, when the control is disabled, or it or an ancestor is hidden, transparent or
  // has user interaction off.
  virtual bool tap();
  // Enabled, visible and taking touches (self and ancestors).
  bool acceptsTouches() const;

 protected:
  void describeExtras(std::string& out) const override;

 private:
  struct Target {
    const void* owner;
    uint32_t events;
    std::shared_ptr<Action> action;
  };
  bool enabled_ = true;
  bool selected_ = false;
  bool highlighted_ = false;
  std::vector<Target> targets_;
};

}  // namespace platform::ui
