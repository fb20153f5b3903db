#include "platform/device/AddressBook.h"

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"

namespace platform {
namespace {

// A name that starts with a CJK character (U+2E80 and above in the basic plane, or a
// supplementary ideograph): written without a space next to the other part.
bool startsWide(std::string_view s) {
  if (s.empty()) return false;
  auto c = static_cast<unsigned char>(s[0]);
  if (c >= 0xF0) return true;
  if (c < 0xE0 || s.size() < 3) return false;
  unsigned cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[1]) & 0x3Fu) << 6) |
                (static_cast<unsigned char>(s[2]) & 0x3Fu);
  return cp >= 0x2E80;
}

}  // namespace

std::string Person::compositeName() const {
  if (lastName.empty() && firstName.empty()) return "无姓名";
  if (lastName.empty()) return firstName;
  if (firstName.empty()) return lastName;
  bool wide = startsWide(lastName) || startsWide(firstName);
  return lastName + (wide ? "" : " ") + firstName;
}

AddressBook& AddressBook::shared() { return Process::current().shared<AddressBook>(); }

void AddressBook::requestAccess(std::function<void(bool granted)> completion) {
  if (status_ == AddressBookAuthorization::NotDetermined) {
    status_ = userAnswer_ ? AddressBookAuthorization::Authorized : AddressBookAuthorization::Denied;
  }
  if (!completion) return;
  bool granted = hasAccess();
  dispatchMain([completion = std::move(completion), granted] { completion(granted); });
}

std::vector<Person> AddressBook::people() const { return hasAccess() ? people_ : std::vector<Person>{}; }

std::optional<Person> AddressBook::person(int32_t recordId) const {
  if (!hasAccess()) return std::nullopt;
  for (const auto& p : people_) {
    if (p.recordId == recordId) return p;
  }
  return std::nullopt;
}

std::string AddressBook::localizedLabel(std::string_view label) {
  struct Entry {
    const char* key;
    const char* text;
  };
  static constexpr Entry kLabels[] = {
      {PhoneLabel::Mobile, "手机"},      {PhoneLabel::IPhone, "iPhone"},     {PhoneLabel::Home, "住宅"},
      {PhoneLabel::Work, "工作"},        {PhoneLabel::Main, "主要"},         {PhoneLabel::HomeFax, "住宅传真"},
      {PhoneLabel::WorkFax, "工作传真"}, {PhoneLabel::Pager, "传呼"},        {PhoneLabel::Other, "其他"},
  };
  for (const auto& e : kLabels) {
    if (label == e.key) return e.text;
  }
  return std::string(label);
}

int32_t AddressBook::addPerson(Person person) {
  person.recordId = nextId_++;
  people_.push_back(std::move(person));
  return people_.back().recordId;
}

}  // namespace platform
