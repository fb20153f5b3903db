#include "platform/foundation/ThreadActivity.h"

#include "platform/foundation/ThreadRegistry.h"

namespace platform {

bool ThreadActivity::othersBusyInCurrentStep() {
  const uint64_t mine = ThreadRegistry::currentBusy();
  // The calling thread's own unit is among those counted.
  return mine != 0 && ThreadRegistry::busySince(mine) > 1;
}

int ThreadActivity::liveCount() { return ThreadRegistry::liveThreads(); }

}  // namespace platform
