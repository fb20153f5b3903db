// The reader layer knows screens only as handles: it keeps and passes them, and reaches them
// through AppServices and ScreenRegistry, never through the screen classes themselves.
#pragma once

namespace platform::ui {
class NavigationController;
class ViewController;
}  // namespace platform::ui
