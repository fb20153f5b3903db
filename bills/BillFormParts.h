// Small parts the bill and recharge forms share: the one inquiry a form has running, the grouped
// form table, section headers and row labels, the address-book button and the phone field's input
// rule.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/ui/ButtonCreater.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "bills/BillsOperations.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

namespace nvx {

// A form's inquiry: one at a time (a second Next while one runs sends nothing); the data goes to
// onData, a failure's prompt is shown on the screen, an expired login ends it silently. The
// screen is held until the reply has been handled.
class BillInquiry {
 public:
  bool isRunning() const { return *running_; }
  void send(NVXViewController& screen, const BillFields& fields, std::function<void(const platform::Json&)> onData);

 private:
  std::shared_ptr<bool> running_ = std::make_shared<bool>(false);
};

// Two choices where the second belongs to the first (an agency's project, a card type's
// denomination): each field shows the first characters of the chosen name; choosing another first
// entry clears the second, choosing the same one keeps it.
struct BillChoicePair {
  static constexpr size_t kFieldChars = 11;
  struct Choice {
    std::shared_ptr<platform::ui::TextField> field;
    std::string name;
    std::string code;
  };
  void chooseFirst(const std::string& name, const std::string& code);
  void chooseSecond(const std::string& name, const std::string& code);

  Choice first;
  Choice second;
};

namespace billform {

// The form's grouped table (screen width, screen height less 64) with the screen as delegate and
// data source (and touch delegate when it is one), added to the screen's view.
template <class Screen>
std::shared_ptr<CustomTableView> formTable(const std::shared_ptr<Screen>& screen);
std::shared_ptr<CustomTableView> groupedTable();
// The form's big "Next" button, added to its table; a tap runs step on the screen while it lives.
template <class Screen>
std::shared_ptr<platform::ui::Button> nextButton(const std::weak_ptr<Screen>& screen, void (Screen::*step)(),
                                                 platform::ui::View& table);
// A header of that height holding a left-aligned 16-point label 20 points from the left.
std::shared_ptr<platform::ui::View> sectionHeader(std::string text, double height);
// A clear 16-point label.
std::shared_ptr<platform::ui::Label> rowLabel(platform::ui::Rect frame, std::string text,
                                              platform::ui::TextAlignment alignment = platform::ui::TextAlignment::Left);
// The "add.png" accessory that opens the address-book picker of the screen.
std::shared_ptr<platform::ui::Button> addressBookButton(NVXViewController& screen);
// The mobile-number input rule (closesAtEleven: the keyboard closes itself at the 11th digit).
std::optional<bool> phoneFieldChange(platform::ui::TextField& field, platform::Range16 range,
                                     const std::string& replacement, bool closesAtEleven);

template <class Screen>
std::shared_ptr<CustomTableView> formTable(const std::shared_ptr<Screen>& screen) {
  auto table = groupedTable();
  table->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(screen));
  table->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(screen));
  if constexpr (std::is_base_of_v<CustomTableViewDelegate, Screen>) {
    table->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(screen));
  }
  screen->view()->addSubview(table);
  return table;
}

template <class Screen>
std::shared_ptr<platform::ui::Button> nextButton(const std::weak_ptr<Screen>& screen, void (Screen::*step)(),
                                                 platform::ui::View& table) {
  auto button = ButtonCreater::bigButtonWithText(platform::Strings::localized("Next"));
  button->addTarget(screen.lock().get(), platform::ui::ControlEvent::TouchUpInside, [screen, step](platform::ui::Control&) {
    if (auto form = screen.lock()) ((*form).*step)();
  });
  table.addSubview(button);
  return button;
}

}  // namespace billform
}  // namespace nvx
