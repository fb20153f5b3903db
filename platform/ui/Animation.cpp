#include "platform/ui/Animation.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/MainThread.h"

namespace platform::ui {

void animate(double duration, const std::function<void()>& changes, std::function<void(bool finished)> completion) {
  assertMainThread();
  if (changes) changes();
  if (!completion) return;
  dispatchAfter(secs(duration > 0 ? duration : 0), [completion = std::move(completion)] { completion(true); });
}

}  // namespace platform::ui
