// Short messages over the application window (the application delegate's window, through
// AppServices): a spinner while something runs, a labelled indicator kept as the delegate's
// "hud", and text prompts that go away by themselves. Without a window nothing is shown.
#pragma once
#include <memory>
#include <string>

#include "app/ui/CMExecutor.h"
#include "platform/ui/Hud.h"

namespace nvx {

class HudExt {
 public:
  // How long a prompt stays, whatever the length of its text.
  static constexpr double kPromptSeconds = 2.0;
  // A prompt's offset from the window's centre (up).
  static constexpr int kPromptYOffset = -32;
  // Alerts with this tag do not hold back the screens' prompts.
  static constexpr int kPromptFriendlyAlertTag = 987654;

  // A spinner over the window, now (main thread).
  static std::shared_ptr<platform::ui::Hud> show();
  // From any thread: later, on the main loop, an indicator labelled with the text over the
  // window, stored as the application delegate's hud.
  static void show(std::string text);
  // From any thread: as show(text); after delaySeconds, delayAction with an executor of the
  // target and action. Without a target the indicators are still hidden then.
  static void show(std::string text, double delaySeconds, CMExecutor::Target target, CMExecutor::Action action);
  // Hides every indicator on the window, then performs the executor when it has a target.
  static void delayAction(const std::shared_ptr<CMExecutor>& executor);
  // Hides every indicator on the window.
  static void hide();

  // A text-only indicator moved yOffset from the window's centre (negative is up), hidden after
  // kPromptSeconds.
  static void prompt(std::string text, int yOffset);
  // prompt(text, kPromptYOffset).
  static void prompt(std::string text);
  // prompt with the localized "NetworkConnectionFailed", "Error_Data", or the end of a paged list.
  static void promptNetFailed();
  static void promptDataError();
  static void promptNoMoreData();

  // The base screen's rule for its own prompts: they are held back while any alert is up whose
  // tag is not kPromptFriendlyAlertTag.
  static bool isAlertHoldingPrompts();
};

}  // namespace nvx
