#include "platform/ui/ContactPicker.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

class Host : public ViewController, public ContactPickerDelegate {
 public:
  std::string className() const override { return "Host"; }
  std::vector<std::string> log;
  bool continueToPerson = false;

  void didCancel(ContactPicker& picker) override {
    log.push_back("cancel");
    picker.dismissModal(true);
  }
  bool shouldContinueAfterSelectingPerson(ContactPicker&, const Person& person) override {
    std::string line = "person " + person.compositeName();
    for (const auto& p : person.phones) line += " " + AddressBook::localizedLabel(p.label) + "=" + p.value;
    log.push_back(line);
    return continueToPerson;
  }
  bool shouldContinueAfterSelectingProperty(ContactPicker&, const Person& person, ContactProperty, int id) override {
    log.push_back("phone " + person.phones[static_cast<size_t>(id)].value);
    return false;
  }
};

class ContactPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& book = AddressBook::shared();
    book.addPerson(Person{0, "三", "张", {{PhoneLabel::Mobile, "+86 138-0013-8000"}, {PhoneLabel::Home, "010-12345678"}}});
    book.addPerson(Person{0, "John", "Smith", {{"工作手机", "13900139000"}}});
    window = Window::create();
    window->setRootViewController(host);
    window->makeKeyAndVisible();
  }
  void present() {
    picker = ContactPicker::create();
    picker->setPeoplePickerDelegate(host);
    host->presentModal(picker, true);
    RunLoop::main().runUntilIdle();
  }
  std::shared_ptr<Host> host = std::make_shared<Host>();
  std::shared_ptr<Window> window;
  std::shared_ptr<ContactPicker> picker;
  Inspector inspector;
};

TEST_F(ContactPickerTest, ChoosingAPersonAsksTheDelegate) {
  present();
  EXPECT_EQ(AddressBook::shared().authorizationStatus(), AddressBookAuthorization::Authorized);
  EXPECT_EQ(inspector.topScreen()->className(), "ContactListScreen");
  ASSERT_NE(inspector.byText("所有联系人"), nullptr);
  ASSERT_TRUE(inspector.tapCellWithText("张三").isOk());
  EXPECT_TRUE(picker->choosePerson(1));
  EXPECT_FALSE(picker->choosePerson(2));
  EXPECT_EQ(host->log, (std::vector<std::string>{"person 张三 手机=+86 138-0013-8000 住宅=010-12345678",
                                                 "person Smith John 工作手机=13900139000"}));
  EXPECT_EQ(inspector.topScreen()->className(), "ContactListScreen");   // the delegate said no

  // Going on shows the person's numbers; choosing one asks the delegate again.
  host->continueToPerson = true;
  EXPECT_TRUE(picker->choosePerson(0));
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(inspector.topScreen()->className(), "PersonScreen");
  ASSERT_TRUE(inspector.tapCellWithText("010-12345678").isOk());
  EXPECT_EQ(host->log.back(), "phone 010-12345678");
  EXPECT_TRUE(picker->choosePhone(0));
  EXPECT_EQ(host->log.back(), "phone +86 138-0013-8000");
}

TEST_F(ContactPickerTest, CancelTellsTheDelegateWhichDismisses) {
  present();
  ASSERT_TRUE(inspector.tap("取消").isOk());
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(host->log, (std::vector<std::string>{"cancel"}));
  EXPECT_EQ(host->presentedViewController(), nullptr);
  EXPECT_EQ(inspector.topScreen(), host);
}

TEST_F(ContactPickerTest, WithoutAccessTheListIsEmptyAndSaysSo) {
  AddressBook::shared().setUserAnswer(false);
  present();
  EXPECT_EQ(AddressBook::shared().authorizationStatus(), AddressBookAuthorization::Denied);
  EXPECT_TRUE(picker->people().empty());
  EXPECT_NE(inspector.byText(ContactPicker::kNoAccessText), nullptr);
  EXPECT_FALSE(picker->choosePerson(0));
  EXPECT_TRUE(host->log.empty());
}

}  // namespace
}  // namespace platform::ui
