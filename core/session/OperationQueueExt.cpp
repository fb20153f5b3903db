#include "core/session/OperationQueueExt.h"

#include "platform/foundation/Process.h"

namespace nvx {

namespace {

// Kept apart from the platform's own shared queue: the client's work never waits behind it.
struct ClientQueue {
  platform::OperationQueue queue;
};

}  // namespace

platform::OperationQueue& OperationQueueExt::sharedQueue() {
  return platform::Process::current().shared<ClientQueue>().queue;
}

}  // namespace nvx
