// The PIN digit pad, tapped by a user through the Inspector while it is a secret field's keyboard.
#include <gtest/gtest.h>

#include "app/ui/testing/KeypadTestSupport.h"
#include "app/ui/NVXKeyboardView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"

namespace nvx {
namespace {

using platform::ui::Button;
using platform::ui::Rect;

// What a PIN screen hears from its keypad.
class PinScreen : public NVXKeyboardViewDelegate {
 public:
  void keyboadView(NVXKeyboardView&, int number) override { keys.push_back(std::to_string(number)); }
  void keyboadViewdoneButtonPressed(NVXKeyboardView&) override { keys.push_back("done"); }
  void keyboadViewdeleteButtonPressed(NVXKeyboardView&) override { keys.push_back("delete"); }
  std::vector<std::string> keys;
};

using testing::KeyPlace;
using testing::keysOf;

// Left to right, top to bottom.
const std::vector<KeyPlace> kLayout = {
    {1, {0, 13, 106, 40}, "n_keyboard_1.png", "n_keyboard_1_hover.png"},
    {2, {108, 13, 106, 40}, "n_keyboard_2.png", "n_keyboard_2_hover.png"},
    {3, {216, 13, 106, 40}, "n_keyboard_3.png", "n_keyboard_3_hover.png"},
    {4, {0, 63, 106, 40}, "n_keyboard_4.png", "n_keyboard_4_hover.png"},
    {5, {108, 63, 106, 40}, "n_keyboard_5.png", "n_keyboard_5_hover.png"},
    {6, {216, 63, 106, 40}, "n_keyboard_6.png", "n_keyboard_6_hover.png"},
    {7, {0, 113, 106, 40}, "n_keyboard_7.png", "n_keyboard_7_hover.png"},
    {8, {108, 113, 106, 40}, "n_keyboard_8.png", "n_keyboard_8_hover.png"},
    {9, {216, 113, 106, 40}, "n_keyboard_9.png", "n_keyboard_9_hover.png"},
    {101, {0, 163, 106, 40}, "n_keyboard_over.png", "n_keyboard_over_hover.png"},
    {0, {108, 163, 106, 40}, "n_keyborad_0.png", "n_keyboard_0_hover.png"},
    {102, {216, 163, 106, 40}, "n_keyboard_x.png", "n_keyboard_x_hover.png"},
};

class NVXKeyboardViewTest : public testing::KeypadFieldTest {
 protected:
  NVXKeyboardViewTest() : KeypadFieldTest(kLayout) {}

  void SetUp() override {
    KeypadFieldTest::SetUp();
    field_->setSecureTextEntry(true);
    keypad_ = NVXKeyboardView::numberPadWithDelegate(screen_);
    field_->setInputView(keypad_);
  }

  // A user's tap on the key at the place (the key must show and take the touch).
  void tapKeyAt(Rect place) {
    const std::string where = "at " + ::testing::PrintToString(place.x) + "," + ::testing::PrintToString(place.y);
    auto tapped = tapKey(*keypad_, [&](const Button& key) { return key.frame() == place; }, where);
    ASSERT_TRUE(tapped.isOk()) << tapped.message() << "\n" << inspector_.render();
  }

  std::shared_ptr<PinScreen> screen_ = std::make_shared<PinScreen>();
  std::shared_ptr<NVXKeyboardView> keypad_;
};

TEST_F(NVXKeyboardViewTest, KeysStandInTheSamePlacesEveryTime) {
  EXPECT_EQ(keypad_->frame(), (Rect{0, 0, 320, 216}));
  for (int showing = 0; showing < 2; ++showing) {
    ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
    ASSERT_EQ(platform::ui::Keyboard::activeInputView(), keypad_);
    auto keys = keysOf(*keypad_);
    ASSERT_EQ(keys.size(), 12u);
    for (size_t i = 0; i < keys.size(); ++i) ASSERT_NO_FATAL_FAILURE(testing::expectKeyAt(*keys[i], kLayout[i], i));
    ASSERT_TRUE(field_->resignFirstResponder());
  }
  // A new keypad is laid out the same way.
  auto again = keysOf(*NVXKeyboardView::numberPadWithDelegate(screen_));
  for (size_t i = 0; i < again.size(); ++i) EXPECT_EQ(again[i]->tag(), kLayout[i].tag) << i;
}

TEST_F(NVXKeyboardViewTest, EveryKeyGoesToTheDelegateAndNothingToTheField) {
  ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
  for (const auto& key : kLayout) tapKeyAt(key.frame);
  EXPECT_EQ(screen_->keys,
            (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "done", "0", "delete"}));
  EXPECT_EQ(field_->text(), "");
  EXPECT_TRUE(field_->isEditing());

  // Keys of other tags say nothing.
  auto stray = Button::create(Rect{});
  stray->setTag(103);
  keypad_->buttonPressed(*stray);
  EXPECT_EQ(screen_->keys.size(), 12u);
}

TEST_F(NVXKeyboardViewTest, TheKeypadDoesNotKeepItsDelegate) {
  ASSERT_TRUE(inspector_.tapControl(*field_).isOk());
  std::weak_ptr<PinScreen> gone = screen_;
  screen_.reset();
  EXPECT_TRUE(gone.expired());
  tapKeyAt(kLayout[0].frame);   // nobody to tell: nothing happens
  EXPECT_EQ(keypad_->delegate(), nullptr);
}

}  // namespace
}  // namespace nvx
