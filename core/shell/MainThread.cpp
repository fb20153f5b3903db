#include "core/shell/MainThread.h"

#include <cstdlib>
#include <string>

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace nvx {

void assertMainThread([[maybe_unused]] std::string_view what) {
#ifndef NDEBUG
  if (platform::RunLoop::main().isMainThread()) return;
  platform::log::error("MainThread", std::string(what) + " used off the main thread");
  std::abort();
#endif
}

}  // namespace nvx
