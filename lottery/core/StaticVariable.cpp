#include "lottery/core/StaticVariable.h"

#include "platform/foundation/Process.h"

namespace nvx::lottery {

StaticVariable& StaticVariable::shared() { return platform::Process::current().shared<StaticVariable>(); }

}  // namespace nvx::lottery
