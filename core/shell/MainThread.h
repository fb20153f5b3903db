// Debug builds stop at once when main-thread-only state is used from another thread (a data race
// would otherwise go unnoticed until it corrupts something). Release builds check nothing.
#pragma once
#include <string_view>

namespace nvx {

// Aborts a debug build (with the name of what was misused in the log) when not on the main run
// loop's thread.
void assertMainThread(std::string_view what);

}  // namespace nvx
