// View animations: the changes take effect at once (nothing is drawn in between); the
// completion runs after the duration of run-loop time, with true.
#pragma once
#include <functional>

namespace platform::ui {

// duration in seconds; a duration <= 0 runs the completion on the loop's next pass.
void animate(double duration, const std::function<void()>& changes, std::function<void(bool finished)> completion = {});

}  // namespace platform::ui
