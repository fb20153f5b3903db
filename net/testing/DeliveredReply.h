// Test-only: what one response callback of the request layer received.
#pragma once
#include "net/NetService.h"
#include "platform/foundation/RunLoop.h"

namespace nvx::testing {

// What one response callback received.
struct Delivered {
  int calls = 0;
  NetResult result;
  RetStatusEntity status;
  bool isErr = false;
  bool onMain = false;

  NetService::ResponseBlock block() {
    return [this](NetResult r, RetStatusEntity s, bool e) {
      ++calls;
      result = std::move(r);
      status = std::move(s);
      isErr = e;
      onMain = platform::RunLoop::main().isMainThread();
    };
  }
};

}  // namespace nvx::testing
