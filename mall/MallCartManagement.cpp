#include "mall/MallCartManagement.h"

#include "platform/foundation/Process.h"

namespace nvx {

MallCartManagement& MallCartManagement::sharedMallCartManagement() {
  return platform::Process::current().shared<MallCartManagement>();
}

}  // namespace nvx
