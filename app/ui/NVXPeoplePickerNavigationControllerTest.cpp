// The contact picker as the base screen presents it: the client's Cancel on every screen of the
// picker, and the chosen person handed to the presenting screen.
#include "app/ui/NVXPeoplePickerNavigationController.h"

#include <gtest/gtest.h>

#include "platform/device/AddressBook.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::Person;
using platform::ui::ContactPicker;

class Presenter : public platform::ui::ViewController, public platform::ui::ContactPickerDelegate {
 public:
  std::string className() const override { return "Presenter"; }
  void didCancel(ContactPicker& picker) override {
    ++cancels;
    picker.dismissModal(true);
  }
  bool shouldContinueAfterSelectingPerson(ContactPicker&, const Person& person) override {
    chosen.push_back(person.compositeName());
    return continueIntoPerson;
  }
  std::vector<std::string> chosen;
  int cancels = 0;
  bool continueIntoPerson = false;
};

class PeoplePickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& book = platform::AddressBook::shared();
    book.setAuthorizationStatus(platform::AddressBookAuthorization::Authorized);
    book.addPerson(Person{0, "三", "张", {{platform::PhoneLabel::Mobile, "+86 138-0013-8000"}}});
    book.addPerson(Person{0, "四", "李", {{platform::PhoneLabel::Home, "010-12345678"}}});
    window = platform::ui::Window::create();
    window->setRootViewController(presenter);
    window->makeKeyAndVisible();
    picker = NVXPeoplePickerNavigationController::initWithNibName();
    picker->setPeoplePickerDelegate(presenter);
    presenter->presentModal(picker, true);
    platform::RunLoop::main().advance(0.35);
  }
  // The screen in front shows the client's Cancel on the left and nothing on the right.
  void expectClientCancel() {
    auto top = picker->topViewController();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->navigationItem().rightBarButtonItem(), nullptr);
    auto left = top->navigationItem().leftBarButtonItem();
    ASSERT_NE(left, nullptr);
    auto button = std::dynamic_pointer_cast<platform::ui::Button>(left->customView());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->currentTitle(), platform::Strings::localized("Cancel"));
  }

  std::shared_ptr<Presenter> presenter = std::make_shared<Presenter>();
  std::shared_ptr<platform::ui::Window> window;
  std::shared_ptr<NVXPeoplePickerNavigationController> picker;
  platform::ui::Inspector inspector;
};

TEST_F(PeoplePickerTest, TheClientsCancelClosesThePicker) {
  EXPECT_EQ(inspector.topScreen(), picker->topViewController());
  expectClientCancel();
  ASSERT_TRUE(inspector.tap(platform::Strings::localized("Cancel")).isOk()) << inspector.render();
  platform::RunLoop::main().advance(0.35);
  EXPECT_EQ(presenter->presentedViewController(), nullptr);
  EXPECT_EQ(inspector.topScreen(), presenter);
}

TEST_F(PeoplePickerTest, AChosenPersonGoesToThePresenterAndEveryScreenHasTheCancel) {
  ASSERT_TRUE(inspector.tapCellWithText("张三").isOk()) << inspector.render();
  EXPECT_EQ(presenter->chosen, std::vector<std::string>{"张三"});
  EXPECT_EQ(picker->stack().size(), 1u);   // the presenter said no: the picker stays on its list

  presenter->continueIntoPerson = true;
  ASSERT_TRUE(picker->choosePerson(1));
  platform::RunLoop::main().advance(0.35);
  ASSERT_EQ(picker->stack().size(), 2u);
  expectClientCancel();
  ASSERT_TRUE(inspector.tap(platform::Strings::localized("Cancel")).isOk()) << inspector.render();
  platform::RunLoop::main().advance(0.35);
  EXPECT_EQ(presenter->presentedViewController(), nullptr);
}

}  // namespace
}  // namespace nvx
