// GHPickerView on a screen: it closes an open field keyboard, slides up over a mask, and Done or
// Cancel hand over (or not) the item under the selection bar.
#include "app/ui/GHPickerView.h"

#include <gtest/gtest.h>

#include "app/ui/GHTextField.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Inspector;
using platform::ui::Rect;

class GHPickerViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = platform::ui::Window::create();
    window->makeKeyAndVisible();
    host = platform::ui::View::create(Rect{0, 20, 320, 548});
    window->addSubview(host);
    button = platform::ui::Button::create(Rect{20, 400, 100, 40});
    button->setTitle("under");
    button->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [this](platform::ui::Control&) { ++taps; });
    host->addSubview(button);
  }
  std::shared_ptr<GHPickerView<std::string>> makePicker(std::optional<std::string> selected) {
    auto picker = GHPickerView<std::string>::create(Rect{0, 0, 320, 260}, {"a", "b", "c"});
    picker->setTitleGeter([](const std::string& s) { return "item " + s; });
    picker->setDoneAction([this](const std::string& s) { chosen.push_back(s); });
    picker->setSelectedItem(std::move(selected));
    return picker;
  }

  std::shared_ptr<platform::ui::Window> window;
  std::shared_ptr<platform::ui::View> host;
  std::shared_ptr<platform::ui::Button> button;
  Inspector inspector;
  std::vector<std::string> chosen;
  int taps = 0;
};

TEST_F(GHPickerViewTest, ShowingClosesTheFieldKeyboardAndCoversTheHost) {
  auto field = GHTextField::create(Rect{20, 20, 200, 30});
  field->setPlaceHolder("f");
  host->addSubview(field);
  ASSERT_TRUE(inspector.type("f", "1").isOk());
  ASSERT_TRUE(platform::ui::Keyboard::isVisible());

  auto picker = makePicker("b");
  picker->showInView(*host);
  EXPECT_FALSE(field->getTextFiled()->isEditing());
  EXPECT_FALSE(platform::ui::Keyboard::isVisible());

  // Up at the bottom of the host: 216 of wheel and 44 of bar.
  EXPECT_EQ(picker->frame(), (Rect{0, 288, 320, 260}));
  EXPECT_EQ(picker->internalePicker()->frame(), (Rect{0, 44, 320, 216}));
  EXPECT_TRUE(picker->internalePicker()->showsSelectionIndicator());
  ASSERT_NE(picker->maskView(), nullptr);
  EXPECT_EQ(picker->maskView()->frame(), host->bounds());
  EXPECT_FALSE(inspector.tap("under").isOk());   // the mask takes the touch
  EXPECT_EQ(taps, 0);

  // The preset item is under the selection bar.
  EXPECT_EQ(picker->internalePicker()->selectedRow(0), 1);
  EXPECT_EQ(picker->internalePicker()->displayText(), "item b");
  auto row = picker->internalePicker()->viewForRow(2, 0);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->tag(), 2);
  EXPECT_EQ(row->frame(), (Rect{0, 0, 240, 40}));
  EXPECT_EQ(picker->internalePicker()->rowHeight(0), 40);
}

TEST_F(GHPickerViewTest, DoneHandsOverTheItemUnderTheBarCancelDoesNot) {
  struct Case {
    const char* what;
    std::optional<std::string> preset;
    int spinTo;                       // -1: the wheel is not moved
    const char* button;
    std::vector<std::string> chosen;
  };
  const Case cases[] = {
      {"preset, untouched", "b", -1, "完成", {"b"}},
      {"spun", "b", 2, "完成", {"c"}},
      {"spun back to the preset row", "a", 0, "完成", {"a"}},
      {"no preset: the first row shows", std::nullopt, -1, "完成", {"a"}},
      {"preset not among the items", "z", -1, "完成", {"a"}},
      {"cancel", "b", 2, "取消", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    chosen.clear();
    std::weak_ptr<GHPickerView<std::string>> weak;
    {
      auto picker = makePicker(c.preset);
      weak = picker;
      picker->showInView(*host);
    }
    if (c.spinTo >= 0) {
      ASSERT_TRUE(inspector.pick(0, c.spinTo).isOk());
    }
    ASSERT_TRUE(inspector.tap(c.button).isOk()) << inspector.render();
    EXPECT_EQ(chosen, c.chosen);
    // It slides away for 0.25 s; then it and its mask are gone.
    ASSERT_FALSE(weak.expired());
    platform::RunLoop::main().advance(0.25);
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(host->subviews().size(), 1u);
    EXPECT_TRUE(inspector.tap("under").isOk());
  }
}

struct Entity {
  std::string name;
};

class SelectionLog : public GHPickerViewDelegate<std::shared_ptr<Entity>> {
 public:
  void pickerView(GHPickerView<std::shared_ptr<Entity>>&, const std::shared_ptr<Entity>& item) override {
    told.push_back(item->name);
  }
  std::vector<std::string> told;
};

TEST_F(GHPickerViewTest, SharedObjectsAreFoundByIdentityAndAToggledRowIsTold) {
  auto x = std::make_shared<Entity>(Entity{"x"});
  auto y = std::make_shared<Entity>(Entity{"y"});
  auto picker = GHPickerView<std::shared_ptr<Entity>>::create(Rect{0, 0, 320, 260}, {x, y});
  picker->setTitleGeter([](const std::shared_ptr<Entity>& e) { return e->name; });
  auto log = std::make_shared<SelectionLog>();
  picker->setDelegate(log);

  // An equal object that is not among the items is not selected.
  picker->setSelectedItem(std::make_shared<Entity>(Entity{"y"}));
  picker->showInView(*host);
  EXPECT_EQ(picker->selectedItem(), x);
  picker->dismiss();
  picker->setSelectedItem(y);
  picker->showInView(*host);
  EXPECT_EQ(picker->internalePicker()->selectedRow(0), 1);
  EXPECT_TRUE(log->told.empty());   // a spin is not a toggle

  auto rowView = picker->internalePicker()->viewForRow(0, 0);
  ASSERT_NE(rowView, nullptr);
  picker->toggleSelection(*rowView);
  EXPECT_EQ(picker->selectedItem(), x);
  EXPECT_EQ(picker->internalePicker()->selectedRow(0), 0);
  EXPECT_EQ(std::static_pointer_cast<platform::ui::TableViewCell>(rowView)->accessoryType(),
            platform::ui::TableViewCellAccessoryType::Checkmark);
  EXPECT_EQ(log->told, (std::vector<std::string>{"x"}));
}

}  // namespace
}  // namespace nvx
