// Test-only: what the keypad tests share. A keypad's keys are found among its subviews and
// tapped by a user through the Inspector, so a key that does not show or take the touch fails
// the tap; a table of key places says where each key stands and which pictures it wears.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/testing/TestPictureBundle.h"
#include "platform/foundation/Status.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace nvx::testing {

struct KeyPlace {
  int tag;
  platform::ui::Rect frame;
  const char* normal;
  const char* highlighted;
  const char* disabled = nullptr;  // only keys that can be switched off have one
};

// The pictures a keypad with these keys needs: its background and every key's pictures.
inline std::vector<std::string> keypadPictureNames(const std::vector<KeyPlace>& layout) {
  std::vector<std::string> names = {"n_keyboard_bg.png"};
  for (const auto& key : layout) {
    for (const char* name : {key.normal, key.highlighted, key.disabled}) {
      if (name) names.push_back(name);
    }
  }
  return names;
}

// The key buttons of a keypad, back to front.
inline std::vector<std::shared_ptr<platform::ui::Button>> keysOf(const platform::ui::View& keypad) {
  std::vector<std::shared_ptr<platform::ui::Button>> keys;
  for (const auto& sub : keypad.subviews()) {
    if (auto button = std::dynamic_pointer_cast<platform::ui::Button>(sub)) keys.push_back(button);
  }
  return keys;
}

// The key stands where the place says and wears its pictures. Fatal failures stop only this
// check: wrap the call in ASSERT_NO_FATAL_FAILURE to stop the test.
inline void expectKeyAt(const platform::ui::Button& key, const KeyPlace& place, size_t index) {
  using platform::ui::ControlState;
  EXPECT_EQ(key.tag(), place.tag) << index;
  EXPECT_EQ(key.frame(), place.frame) << index;
  ASSERT_TRUE(key.backgroundImage(ControlState::Normal)) << index;
  EXPECT_EQ(key.backgroundImage(ControlState::Normal)->name, place.normal) << index;
  EXPECT_EQ(key.backgroundImage(ControlState::Highlighted)->name, place.highlighted) << index;
  if (place.disabled) {
    EXPECT_EQ(key.backgroundImage(ControlState::Disabled)->name, place.disabled) << index;
  }
}

// A keypad's surroundings: the pictures its keys wear, a shown window with a text field for the
// keypad to serve, and the Inspector through which a user taps. A test makes its keypad in its
// own SetUp (after this one's).
class KeypadFieldTest : public ::testing::Test {
 protected:
  explicit KeypadFieldTest(const std::vector<KeyPlace>& layout) : pictures_(keypadPictureNames(layout)) {}

  void SetUp() override {
    window_->makeKeyAndVisible();
    window_->addSubview(field_);
  }

  // A user's tap on the first key of the keypad that matches; an error when none does or the
  // key does not take the tap.
  platform::Status tapKey(const platform::ui::View& keypad,
                          const std::function<bool(const platform::ui::Button&)>& matches, const std::string& which) {
    for (const auto& key : keysOf(keypad)) {
      if (matches(*key)) return inspector_.tapControl(*key);
    }
    return platform::Status::error("no key " + which);
  }

  TestPictureBundle pictures_;
  std::shared_ptr<platform::ui::Window> window_ = platform::ui::Window::create();
  std::shared_ptr<platform::ui::TextField> field_ = platform::ui::TextField::create(platform::ui::Rect{10, 80, 300, 30});
  platform::ui::Inspector inspector_;
};

}  // namespace nvx::testing
