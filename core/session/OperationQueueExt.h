// The client's one background operation queue, on which downloads and other slow file work run.
#pragma once

#include "platform/foundation/RunLoop.h"

namespace nvx {

class OperationQueueExt {
 public:
  // Made on first use (under the process's lock) with the platform's default number of
  // concurrent operations; lives for the whole run.
  static platform::OperationQueue& sharedQueue();
};

}  // namespace nvx
