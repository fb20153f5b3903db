#include "app/ui/NVXBaseViewController.h"

#include <gtest/gtest.h>

#include "app/ui/ColorExt.h"
#include "app/ui/NVXTableViewController.h"
#include "app/ui/testing/TestScreenServices.h"
#include "app/ui/TextFieldExt.h"
#include "platform/device/AddressBook.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ContactPicker.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/TableView.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::ui::Inspector;
using testing::NamedTestScreen;
using testing::TestScreenServices;

class NextScreen : public NamedTestScreen {
 public:
  NextScreen() : NamedTestScreen("NextScreen") {}
};

// A form with two fields: the base's keyboard defaults serve both.
class FormScreen : public NVXBaseViewController {
 public:
  std::string className() const override { return "FormScreen"; }
  void viewDidLoad() override {
    NVXBaseViewController::viewDidLoad();
    for (int i = 0; i < 2; ++i) {
      auto field = TextFieldExt::textFieldWithFrame(platform::ui::Rect{10, 10 + 40.0 * i, 280, 30}, TextFieldType::Mobile,
                                                    "字段" + std::to_string(i));
      field->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(
          std::static_pointer_cast<FormScreen>(shared_from_this())));
      view()->addSubview(field);
      fields.push_back(field);
    }
  }
  void refresh() { ++refreshes; }

  std::vector<std::shared_ptr<platform::ui::TextField>> fields;
  int refreshes = 0;
};

class NVXBaseViewControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services = std::make_shared<TestScreenServices>();
    AppServices::install(services);
  }
  void TearDown() override { AppServices::install(nullptr); }
  static void settle() { RunLoop::main().advance(1.0); }

  std::shared_ptr<TestScreenServices> services;
};

TEST_F(NVXBaseViewControllerTest, PageColourAndClassNames) {
  auto base = NVXBaseViewController::create();
  EXPECT_EQ(base->className(), "NVXBaseViewController");
  EXPECT_EQ(base->view()->backgroundColor(), ColorExt::defaultPageViewBgColor());
  EXPECT_EQ(NVXTableViewController::create()->className(), "NVXTableViewController");
}

TEST_F(NVXBaseViewControllerTest, PushesGoOntoTheOwnStackOrTheApplications) {
  // Outside a navigation controller: onto the application's stack.
  auto loose = std::make_shared<FormScreen>();
  loose->view();
  loose->push(NVXBaseViewController::screenClass<NextScreen>());
  EXPECT_EQ(services->navigation->topViewController()->className(), "NextScreen");
  EXPECT_TRUE(services->navigation->lastTransitionAnimated());
  EXPECT_EQ(loose->fetchNavigationController(), services->navigation);
  settle();

  // On a stack of its own.
  auto own = platform::ui::NavigationController::create(std::make_shared<NamedTestScreen>("Root"));
  auto onStack = std::make_shared<FormScreen>();
  own->push(onStack, false);
  onStack->pushController(std::make_shared<NextScreen>(), false);
  EXPECT_EQ(own->stack().size(), 3u);
  EXPECT_FALSE(own->lastTransitionAnimated());
  EXPECT_EQ(services->navigation->stack().size(), 2u);

  // Without a class nothing happens.
  onStack->push(NVXBaseViewController::ScreenClass{});
  EXPECT_EQ(own->stack().size(), 3u);
}

TEST_F(NVXBaseViewControllerTest, NextButtonPushesTheNextScreenClassAndEndsEditing) {
  auto form = std::make_shared<FormScreen>();
  services->navigation->push(form, false);
  form->addNextButton(platform::ui::Point{160, 200}, NVXBaseViewController::screenClass<NextScreen>());
  auto next = form->theNextButton();
  ASSERT_TRUE(next);
  EXPECT_EQ(next->superview(), form->view());
  EXPECT_EQ(next->center(), (platform::ui::Point{160, 200}));
  EXPECT_EQ(next->frame().width, 302);
  EXPECT_EQ(next->currentTitle(), "下一步");

  ASSERT_TRUE(form->fields[0]->becomeFirstResponder());
  ASSERT_TRUE(Inspector().tap("下一步").isOk());
  EXPECT_FALSE(form->fields[0]->isFirstResponder());
  EXPECT_EQ(services->navigation->topViewController()->className(), "NextScreen");

  form->releaseSomething();
  EXPECT_EQ(form->theNextButton(), nullptr);
}

TEST_F(NVXBaseViewControllerTest, ReturnEndsEditingAnywhereAndKeystrokesGoThroughTheTypedFilter) {
  auto form = std::make_shared<FormScreen>();
  services->navigation->push(form, false);
  for (auto& field : form->fields) {
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_EQ(form->shouldReturn(*form->fields[0]), std::optional<bool>(true));
    EXPECT_FALSE(field->isFirstResponder());
  }
  // A mobile-number field takes digits only.
  ASSERT_TRUE(Inspector().type("字段1", "13a8").isOk());
  EXPECT_EQ(form->fields[1]->text(), "138");
}

TEST_F(NVXBaseViewControllerTest, RightBarButtonRunsItsActionOnTheScreen) {
  auto form = std::make_shared<FormScreen>();
  services->navigation->push(form, false);
  form->initNavRightBarItem("刷新", &FormScreen::refresh);
  ASSERT_TRUE(form->navRightBarItem());
  ASSERT_TRUE(form->navigationItem().rightBarButtonItem());
  EXPECT_EQ(form->navigationItem().rightBarButtonItem()->customView(), form->navRightBarItem());
  ASSERT_TRUE(Inspector().tapControl(*form->navRightBarItem()).isOk());
  EXPECT_EQ(form->refreshes, 1);
}

// --- NVXTableViewController ---------------------------------------------------------------------

TEST_F(NVXBaseViewControllerTest, TablesFillTheScreenBelowTheBarsAndHoldTheNextButton) {
  for (bool grouped : {true, false}) {
    auto screen = NVXTableViewController::create();
    services->navigation->push(screen, false);
    if (grouped) {
      screen->addGroupTableView();
    } else {
      screen->addSimpleTableView();
    }
    auto table = screen->tableView();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->frame(), (platform::ui::Rect{0, 0, 320, 568 - 64}));
    EXPECT_EQ(table->style(), grouped ? platform::ui::TableViewStyle::Grouped : platform::ui::TableViewStyle::Plain);
    EXPECT_EQ(table->superview(), screen->view());
    EXPECT_EQ(table->dataSource(), std::static_pointer_cast<platform::ui::TableViewDataSource>(screen));
    EXPECT_EQ(table->delegate(), std::static_pointer_cast<platform::ui::TableViewDelegate>(screen));
    if (grouped) {
      EXPECT_EQ(table->backgroundView(), nullptr);
    }
    EXPECT_EQ(table->numberOfRows(0), 0);

    screen->addNextButton(platform::ui::Point{160, 400});
    ASSERT_TRUE(screen->theNextButton());
    EXPECT_EQ(screen->theNextButton()->superview(), table);

    screen->releaseSomething();
    EXPECT_EQ(screen->tableView(), nullptr);
    EXPECT_EQ(screen->theNextButton(), nullptr);
    services->navigation->popToRoot(false);
  }
}

TEST_F(NVXBaseViewControllerTest, PickTelButtonOpensTheContactPicker) {
  platform::AddressBook::shared().setAuthorizationStatus(platform::AddressBookAuthorization::Authorized);
  auto screen = NVXTableViewController::create();
  services->navigation->push(screen, false);
  auto button = screen->defaultGroupCellAccessoryPickTelButton();
  EXPECT_EQ(button->frame(), (platform::ui::Rect{266, 0, 32, 32}));
  screen->view()->addSubview(button);
  ASSERT_TRUE(Inspector().tapControl(*button).isOk());
  settle();
  auto picker = std::dynamic_pointer_cast<platform::ui::ContactPicker>(services->navigation->presentedViewController());
  ASSERT_TRUE(picker);
  EXPECT_EQ(picker->peoplePickerDelegate(), std::static_pointer_cast<platform::ui::ContactPickerDelegate>(screen));
}

}  // namespace
}  // namespace nvx
