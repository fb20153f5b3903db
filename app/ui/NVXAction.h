// Phone calls from the client: a sheet that offers to call a number, and the call itself. One
// shared object for the run; it is the delegate of the sheets it shows.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/ActionSheet.h"
#include "platform/ui/View.h"

namespace platform {
class Process;
}

namespace nvx {

class NVXAction : public platform::ui::ActionSheetDelegate, public std::enable_shared_from_this<NVXAction> {
 public:
  static std::shared_ptr<NVXAction> sharedAction();

  // Opens "tel:<number>"; when the phone cannot dial, an alert with no title, the localized
  // "NoPhone" and one button, the localized "Know".
  static void phoneCall(const std::string& number);

  // A sheet titled with the number, with the destructive button localized "Call" and the cancel
  // button localized "Cancel", shown in the view.
  void showPhoneSheetInView(platform::ui::View& view, const std::string& phone);
  // The same in the view of the application's navigation controller (nothing without one).
  void showPhoneSheetWithPhone(const std::string& phone);

  // "Call" (button 0) calls the sheet's title; any other button does nothing.
  void actionSheetDidDismissWithButtonIndex(platform::ui::ActionSheet& sheet, int index) override;

  // Asks the main server for the service groups ("getServiceGroup") and, when it answers with a
  // list, keeps the list for the applications list and the reorder screen. Any failure keeps
  // what was stored before. The completion (may be empty) runs once, on the main loop, with
  // whether a list was stored.
  static void updateUIServiceGroup(std::function<void(bool stored)> completion = {});
  // Asks the server for the current theme and downloads what changed; it shows from the next
  // start. Offered for a refresh: nothing in the start-up calls it.
  void updateMainTheme();

  NVXAction(const NVXAction&) = delete;
  NVXAction& operator=(const NVXAction&) = delete;

 private:
  friend class platform::Process;
  struct Holder;
  NVXAction() = default;
};

}  // namespace nvx
