// The digit pad for PINs and pay passwords: 320 x 216, drawn from pictures, installed as the
// input view of a secret field. It types nothing itself: every key goes to its delegate (the
// screen that owns the field), which keeps the digits and updates the field. The keys stand in
// the same places every time (no shuffling):
//
//   y 13    1     2     3
//   y 63    4     5     6
//   y 113   7     8     9
//   y 163   done  0     delete        (x 0, 108, 216; keys 106 x 40)
//
// Key tags: the digit for 0 to 9, 101 done, 102 delete.
#pragma once
#include <memory>

#include "platform/ui/Control.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

namespace nvx {

class NVXKeyboardView;

class NVXKeyboardViewDelegate {
 public:
  virtual ~NVXKeyboardViewDelegate() = default;
  // A digit key (0 to 9) was released inside.
  virtual void keyboadView(NVXKeyboardView& keyboard, int numberPressed) = 0;
  virtual void keyboadViewdoneButtonPressed(NVXKeyboardView& keyboard) = 0;
  virtual void keyboadViewdeleteButtonPressed(NVXKeyboardView& keyboard) = 0;
};

class NVXKeyboardView : public platform::ui::View {
 public:
  static constexpr int kDoneTag = 101;
  static constexpr int kDeleteTag = 102;

  explicit NVXKeyboardView(platform::ui::Rect frame) : View(frame) {}

  // The keypad at (0, 0, 320, 216).
  static std::shared_ptr<NVXKeyboardView> numberPadWithDelegate(std::weak_ptr<NVXKeyboardViewDelegate> delegate);
  static std::shared_ptr<NVXKeyboardView> create(platform::ui::Rect frame,
                                                 std::weak_ptr<NVXKeyboardViewDelegate> delegate);

  // The action of every key: reads the key's tag.
  void buttonPressed(const platform::ui::Control& key);

  std::shared_ptr<NVXKeyboardViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<NVXKeyboardViewDelegate> delegate) { delegate_ = std::move(delegate); }

 private:
  void build();

  std::weak_ptr<NVXKeyboardViewDelegate> delegate_;
};

}  // namespace nvx
