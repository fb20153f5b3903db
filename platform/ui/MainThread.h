// UI objects belong to the main thread. Debug builds check it at the entry points that change
// the screen; release builds check nothing.
#pragma once
#include <cassert>

#include "platform/foundation/RunLoop.h"

namespace platform::ui {

inline void assertMainThread() { assert(RunLoop::main().isMainThread() && "UI used off the main thread"); }

}  // namespace platform::ui
