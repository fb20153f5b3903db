#include "net/OnceCompletion.h"

namespace nvx::once_completion_detail {

void logDropped(const std::string& name) {
  platform::log::warning("OnceCompletion", name + " dropped without having run");
}

void logSecondCall(const std::string& name) {
  platform::log::warning("OnceCompletion", name + " called again; ignored");
}

}  // namespace nvx::once_completion_detail
