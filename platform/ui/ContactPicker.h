// The platform's contact picker: a navigation controller, presented modally, whose first screen
// lists the people of the address book (AddressBook.h) in a plain table, titled "所有联系人",
// with a Cancel item ("取消") on the right. Without access to the address book the list is
// empty and says so.
//
// Choosing a person (a tap on its row, or choosePerson) asks the delegate
// shouldContinueAfterSelectingPerson; on yes the person's numbers are shown on a second screen,
// where choosing a number (choosePhone) asks shouldContinueAfterSelectingProperty (a yes would
// dial on the phone; here nothing follows). Cancel tells the delegate didCancel; the delegate
// dismisses the picker. Without a delegate the picker dismisses itself on Cancel.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "platform/device/AddressBook.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableView.h"

namespace platform::ui {

class ContactPicker;

enum class ContactProperty { Phone };

class ContactPickerDelegate {
 public:
  virtual ~ContactPickerDelegate() = default;
  virtual void didCancel(ContactPicker& picker) = 0;
  virtual bool shouldContinueAfterSelectingPerson(ContactPicker& picker, const Person& person) = 0;
  // identifier: the index of the number among the person's phones.
  virtual bool shouldContinueAfterSelectingProperty(ContactPicker& picker, const Person& person,
                                                    ContactProperty property, int identifier) {
    return false;
  }
};

class ContactPicker : public NavigationController {
 public:
  static constexpr const char* kListTitle = "所有联系人";
  static constexpr const char* kNoAccessText = "此应用程序没有权限访问您的通讯录";

  ContactPicker() = default;
  static std::shared_ptr<ContactPicker> create();

  std::string className() const override { return "ContactPicker"; }
  // Builds the list screen as the root (asking for access first when never asked).
  void loadView() override;

  std::shared_ptr<ContactPickerDelegate> peoplePickerDelegate() const { return delegate_.lock(); }
  void setPeoplePickerDelegate(std::weak_ptr<ContactPickerDelegate> delegate) { delegate_ = std::move(delegate); }

  // The people listed, in order (read when the list was built).
  const std::vector<Person>& people() const { return people_; }

  // --- a simulated user ---
  // A tap on the person's row of the list. False when there is no such row.
  bool choosePerson(size_t index);
  // A tap on a number of the person shown on the second screen. False when none is shown.
  bool choosePhone(size_t index);
  // A tap on Cancel.
  void cancel();

  // The list's and the person screen's rows lead here.
  void personChosen(size_t index);
  void phoneChosen(const Person& person, size_t index);

 private:
  std::weak_ptr<ContactPickerDelegate> delegate_;
  std::vector<Person> people_;
};

}  // namespace platform::ui
