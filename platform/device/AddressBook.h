// The phone's contacts: people with a name and labelled phone numbers, behind the user's
// permission. Main thread only.
//
// Permission: a new address book has not asked yet (NotDetermined). requestAccess asks the user
// once: the simulated user's answer (setUserAnswer; yes unless set) decides at once and is kept;
// the completion runs on the main run loop with the result. Without access people() is empty.
//
// Phone labels are kept as the platform's label keys (PhoneLabel) or as a user's own text;
// localizedLabel gives the text the phone shows in Chinese ("手机", "住宅"...); a user's own
// label stays as it is.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace PhoneLabel {
inline constexpr const char* Mobile = "_$!<Mobile>!$_";
inline constexpr const char* IPhone = "iPhone";
inline constexpr const char* Home = "_$!<Home>!$_";
inline constexpr const char* Work = "_$!<Work>!$_";
inline constexpr const char* Main = "_$!<Main>!$_";
inline constexpr const char* HomeFax = "_$!<HomeFAX>!$_";
inline constexpr const char* WorkFax = "_$!<WorkFAX>!$_";
inline constexpr const char* Pager = "_$!<Pager>!$_";
inline constexpr const char* Other = "_$!<Other>!$_";
}  // namespace PhoneLabel

struct LabeledValue {
  std::string label;   // a PhoneLabel key, a user's own label, or empty (no label)
  std::string value;
};

struct Person {
  int32_t recordId = 0;   // given by the address book
  std::string firstName;
  std::string lastName;
  std::vector<LabeledValue> phones;

  // The name as the phone shows it in Chinese: family name first, without a space between
  // Chinese names and with one between others; "无姓名" when both are empty.
  std::string compositeName() const;
};

enum class AddressBookAuthorization { NotDetermined, Restricted, Denied, Authorized };

class AddressBook {
 public:
  static AddressBook& shared();

  AddressBookAuthorization authorizationStatus() const { return status_; }
  bool hasAccess() const { return status_ == AddressBookAuthorization::Authorized; }
  void requestAccess(std::function<void(bool granted)> completion);

  // In the order they were added; empty without access.
  std::vector<Person> people() const;
  std::optional<Person> person(int32_t recordId) const;

  static std::string localizedLabel(std::string_view label);

  // --- tests and the simulator ---
  void setAuthorizationStatus(AddressBookAuthorization status) { status_ = status; }
  // What the user answers when asked for access.
  void setUserAnswer(bool grant) { userAnswer_ = grant; }
  // Adds a person (its recordId is given here) and returns its id.
  int32_t addPerson(Person person);
  void removeAll() { people_.clear(); }

 private:
  friend class Process;
  AddressBook() = default;

  AddressBookAuthorization status_ = AddressBookAuthorization::NotDetermined;
  bool userAnswer_ = true;
  int32_t nextId_ = 1;
  std::vector<Person> people_;
};

}  // namespace platform
