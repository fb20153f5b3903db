// Whether a user's touch can reach a view: the view shows (it and its ancestors are neither
// hidden nor transparent) and it and every ancestor take touches (user interaction on).
// Views that a simulated user scrolls, spins or taps into ask it before acting.
#pragma once

namespace platform::ui {

class View;

class Touches {
 public:
  static bool reach(const View& view);
};

}  // namespace platform::ui
