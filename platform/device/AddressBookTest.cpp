#include "platform/device/AddressBook.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"

namespace platform {
namespace {

TEST(AddressBook, AccessIsAskedOnceAndTheAnswerKept) {
  auto& book = AddressBook::shared();
  book.addPerson(Person{0, "三", "张", {}});
  EXPECT_EQ(book.authorizationStatus(), AddressBookAuthorization::NotDetermined);
  EXPECT_TRUE(book.people().empty());
  book.setUserAnswer(false);
  std::vector<bool> answers;
  book.requestAccess([&](bool granted) { answers.push_back(granted); });
  EXPECT_TRUE(answers.empty());   // the completion comes on the run loop
  RunLoop::main().runUntilIdle();
  book.setUserAnswer(true);       // asked once: a later answer changes nothing
  book.requestAccess([&](bool granted) { answers.push_back(granted); });
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(answers, (std::vector<bool>{false, false}));
  EXPECT_TRUE(book.people().empty());
  book.setAuthorizationStatus(AddressBookAuthorization::Authorized);
  ASSERT_EQ(book.people().size(), 1u);
  EXPECT_EQ(book.person(book.people()[0].recordId)->compositeName(), "张三");
}

TEST(AddressBook, NamesAndLabelsAsThePhoneShowsThem) {
  struct Case {
    const char* first;
    const char* last;
    const char* shown;
  };
  for (const Case& c : {Case{"三", "张", "张三"}, Case{"John", "Smith", "Smith John"}, Case{"", "王", "王"},
                        Case{"Ann", "", "Ann"}, Case{"", "", "无姓名"}, Case{"明", "Lee", "Lee明"}}) {
    EXPECT_EQ((Person{0, c.first, c.last, {}}.compositeName()), c.shown);
  }
  EXPECT_EQ(AddressBook::localizedLabel(PhoneLabel::Mobile), "手机");
  EXPECT_EQ(AddressBook::localizedLabel(PhoneLabel::Home), "住宅");
  EXPECT_EQ(AddressBook::localizedLabel("我的小号"), "我的小号");
  EXPECT_EQ(AddressBook::localizedLabel(""), "");
}

}  // namespace
}  // namespace platform
