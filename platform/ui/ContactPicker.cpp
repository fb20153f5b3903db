#include "platform/ui/ContactPicker.h"

#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

namespace platform::ui {
namespace {

class ContactListScreen : public ViewController, public TableViewDataSource, public TableViewDelegate {
 public:
  explicit ContactListScreen(std::weak_ptr<ContactPicker> picker) : picker_(std::move(picker)) {}
  std::string className() const override { return "ContactListScreen"; }

  void viewDidLoad() override {
    setTitle(ContactPicker::kListTitle);
    std::weak_ptr<ContactPicker> weakPicker = picker_;
    navigationItem().setRightBarButtonItem(BarButtonItem::withSystemItem(BarButtonSystemItem::Cancel, [weakPicker](BarButtonItem&) {
      if (auto p = weakPicker.lock()) p->cancel();
    }));
    Rect b = view()->bounds();
    if (!AddressBook::shared().hasAccess()) {
      auto note = Label::create(Rect{20, 100, b.width - 40, 60}, ContactPicker::kNoAccessText);
      note->setNumberOfLines(0);
      note->setTextAlignment(TextAlignment::Center);
      view()->addSubview(note);
      return;
    }
    table_ = TableView::create(b);
    auto self = std::static_pointer_cast<ContactListScreen>(shared_from_this());
    table_->setDataSource(self);
    table_->setDelegate(self);
    view()->addSubview(table_);
  }

  int numberOfRows(TableView&, int) override {
    auto p = picker_.lock();
    return p ? static_cast<int>(p->people().size()) : 0;
  }
  std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath path) override {
    auto cell = TableViewCell::create();
    if (auto p = picker_.lock(); p && static_cast<size_t>(path.row) < p->people().size()) {
      cell->textLabel()->setText(p->people()[static_cast<size_t>(path.row)].compositeName());
    }
    return cell;
  }
  void didSelectRow(TableView& table, IndexPath path) override {
    table.deselectRow(path, true);
    if (auto p = picker_.lock()) p->personChosen(static_cast<size_t>(path.row));
  }

  std::shared_ptr<TableView> table() {
    view();
    return table_;
  }

 private:
  std::weak_ptr<ContactPicker> picker_;
  std::shared_ptr<TableView> table_;
};

class PersonScreen : public ViewController, public TableViewDataSource, public TableViewDelegate {
 public:
  PersonScreen(std::weak_ptr<ContactPicker> picker, Person person) : picker_(std::move(picker)), person_(std::move(person)) {}
  std::string className() const override { return "PersonScreen"; }

  void viewDidLoad() override {
    setTitle(person_.compositeName());
    table_ = TableView::create(view()->bounds(), TableViewStyle::Grouped);
    auto self = std::static_pointer_cast<PersonScreen>(shared_from_this());
    table_->setDataSource(self);
    table_->setDelegate(self);
    view()->addSubview(table_);
  }
  int numberOfRows(TableView&, int) override { return static_cast<int>(person_.phones.size()); }
  std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath path) override {
    auto cell = TableViewCell::create(TableViewCellStyle::Value2);
    const auto& phone = person_.phones[static_cast<size_t>(path.row)];
    cell->textLabel()->setText(AddressBook::localizedLabel(phone.label));
    cell->detailTextLabel()->setText(phone.value);
    return cell;
  }
  void didSelectRow(TableView& table, IndexPath path) override {
    table.deselectRow(path, true);
    if (auto p = picker_.lock()) p->phoneChosen(person_, static_cast<size_t>(path.row));
  }
  std::shared_ptr<TableView> table() {
    view();
    return table_;
  }

 private:
  std::weak_ptr<ContactPicker> picker_;
  Person person_;
  std::shared_ptr<TableView> table_;
};

}  // namespace

std::shared_ptr<ContactPicker> ContactPicker::create() { return std::make_shared<ContactPicker>(); }

void ContactPicker::loadView() {
  NavigationController::loadView();
  if (!stack().empty()) return;
  auto& book = AddressBook::shared();
  if (book.authorizationStatus() == AddressBookAuthorization::NotDetermined) book.requestAccess({});
  people_ = book.people();
  auto self = std::static_pointer_cast<ContactPicker>(shared_from_this());
  setViewControllers({std::make_shared<ContactListScreen>(self)}, false);
}

bool ContactPicker::choosePerson(size_t index) {
  view();
  if (stack().empty()) return false;
  auto list = std::dynamic_pointer_cast<ContactListScreen>(stack().front());
  auto table = list ? list->table() : nullptr;
  if (!table || index >= people_.size()) return false;
  return table->tapRow(IndexPath{0, static_cast<int>(index)});
}

bool ContactPicker::choosePhone(size_t index) {
  auto screen = std::dynamic_pointer_cast<PersonScreen>(topViewController());
  auto table = screen ? screen->table() : nullptr;
  if (!table || index >= static_cast<size_t>(table->numberOfRows(0))) return false;
  return table->tapRow(IndexPath{0, static_cast<int>(index)});
}

void ContactPicker::cancel() {
  auto keep = shared_from_this();
  if (auto d = delegate_.lock()) {
    d->didCancel(*this);
  } else {
    dismissModal(true);
  }
}

void ContactPicker::personChosen(size_t index) {
  if (index >= people_.size()) return;
  auto keep = shared_from_this();
  Person person = people_[index];
  auto d = delegate_.lock();
  if (d && !d->shouldContinueAfterSelectingPerson(*this, person)) return;
  auto self = std::static_pointer_cast<ContactPicker>(shared_from_this());
  push(std::make_shared<PersonScreen>(self, std::move(person)), true);
}

void ContactPicker::phoneChosen(const Person& person, size_t index) {
  auto keep = shared_from_this();
  if (auto d = delegate_.lock()) d->shouldContinueAfterSelectingProperty(*this, person, ContactProperty::Phone, static_cast<int>(index));
}

}  // namespace platform::ui
