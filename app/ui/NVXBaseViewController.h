// The base of form-like screens: pushes by screen class, a big Next button that pushes the next
// screen class, a right navigation-bar button, and the keyboard defaults of its text fields
// (return ends editing everywhere in the view; keystrokes go through the field's typed filter).
#pragma once
#include <functional>
#include <memory>
#include <string_view>

#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/TextField.h"
#include "reader/NextStepTarget.h"

namespace nvx {

class NVXBaseViewController : public NVXViewController,
                              public platform::ui::TextFieldDelegate,
                              public reader::NextStepTarget {
 public:
  // A screen class: makes a new screen of the class with its plain initialiser.
  using ScreenClass = std::function<std::shared_ptr<platform::ui::ViewController>()>;
  template <class T>
  static ScreenClass screenClass() {
    return [] { return std::make_shared<T>(); };
  }

  static constexpr const char* kClassName = "NVXBaseViewController";

  NVXBaseViewController() = default;
  ~NVXBaseViewController() override;
  static std::shared_ptr<NVXBaseViewController> create();

  std::string className() const override { return kClassName; }

  // The base screen's set-up, then the page colour (ColorExt defaultPageViewBgColor).
  void viewDidLoad() override;
  // releaseSomething, then the base's.
  void viewDidUnload() override;
  // Lets go of theNextButton and navRightBarItem.
  virtual void releaseSomething();

  // The screen's navigation controller, or the application's when it has none.
  std::shared_ptr<platform::ui::NavigationController> fetchNavigationController() const;
  // Ends editing anywhere in the view, makes a screen of the class and pushes it onto
  // fetchNavigationController (animated by default). Nothing (logged) without a class.
  void push(const ScreenClass& screenClass, bool animated);
  void push(const ScreenClass& screenClass) { push(screenClass, true); }
  // Ends editing in the view and pushes the screen.
  void pushController(const std::shared_ptr<platform::ui::ViewController>& screen, bool animated);
  void pushController(const std::shared_ptr<platform::ui::ViewController>& screen) { pushController(screen, true); }

  // The big button with the localized "Next", kept as theNextButton, centred on the point in the
  // view; a tap runs theNextStep.
  virtual void addNextButton(platform::ui::Point center);
  // Sets nextCtrlCls, then addNextButton.
  void addNextButton(platform::ui::Point center, ScreenClass nextCtrlCls);
  // push(nextCtrlCls); derived screens override it with their own next step. The reader-model
  // chooser calls it to resume an interrupted payment step.
  void theNextStep() override;

  // A navigation-bar button with the title (a localized key, or the text itself) that runs the
  // action on this screen, kept as navRightBarItem and made the right item.
  void initNavRightBarItem(std::string_view title, std::function<void(NVXBaseViewController&)> action);
  template <class T>
  void initNavRightBarItem(std::string_view title, void (T::*action)()) {
    initNavRightBarItem(title, [action](NVXBaseViewController& screen) {
      if (auto* target = dynamic_cast<T*>(&screen)) (target->*action)();
    });
  }

  // textFieldShouldReturn: ends editing in the view; YES.
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  // textField:shouldChangeCharactersInRange:replacementString: the field's own typed filter.
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;

  const std::shared_ptr<platform::ui::Button>& theNextButton() const { return theNextButton_; }
  const std::shared_ptr<platform::ui::Button>& navRightBarItem() const { return navRightBarItem_; }
  const ScreenClass& nextCtrlCls() const { return nextCtrlCls_; }
  void setNextCtrlCls(ScreenClass cls) { nextCtrlCls_ = std::move(cls); }

 protected:
  std::shared_ptr<platform::ui::Button> theNextButton_;

 private:
  std::shared_ptr<platform::ui::Button> navRightBarItem_;
  ScreenClass nextCtrlCls_;
};

}  // namespace nvx
