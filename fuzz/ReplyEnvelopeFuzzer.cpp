// Fuzzes the main API's reply envelope through both ladders: the asynchronous road's (raw data
// and model mapping) and the synchronous reader's. Whatever the bytes, each must end in its
// specified outcome, and the two must agree on success and on the data.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/models/ClientVersionEntity.h"
#include "net/NetService.h"
#include "net/ParseTool.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "reply envelope: %s\n", what);
  std::abort();
}

std::string* gOk = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gOk = new std::string(platform::Strings::localized("OK"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A buffer of the input's own size, so that a read past the body is caught.
  const std::string body(reinterpret_cast<const char*>(data), size);

  // No screen is visible: an expired login is reported, never taken over.
  auto raw = nvx::NetService::judgeReply(body, std::nullopt);
  check(raw.has_value(), "the asynchronous ladder gave no outcome");
  check(raw->isErr == raw->result.isNothing(), "error flag and result disagree");
  if (!raw->isErr) {
    check(raw->status.retCode() == "0000" && raw->status.errMsg() == *gOk, "success without its status");
    check(raw->result.isJson(), "raw success without data");
  }

  auto mapped = nvx::NetService::judgeReply(body, nvx::EntityClass::of<nvx::ClientVersionEntity>());
  check(mapped.has_value() && mapped->isErr == raw->isErr, "mapping changed the outcome");
  if (!mapped->isErr) {
    const platform::Json& retData = *raw->result.json();
    if (retData.is_array()) {
      check(mapped->result.list<nvx::ClientVersionEntity>().size() == retData.size(), "one model per element");
    } else {
      check(mapped->result.object<nvx::ClientVersionEntity>() != nullptr, "one model for an object");
    }
  }

  std::string error;
  auto read = nvx::ParseTool::retDataWithResponseData(body, nullptr, &error);
  if (!raw->isErr) {
    check(read.has_value() && *read == *raw->result.json(), "the two ladders read different data");
    check(error == *gOk, "synchronous success without \"OK\"");
  } else if (read && (read->is_object() || read->is_array())) {
    check(false, "the synchronous ladder found data the asynchronous one refused");
  }

  platform::ui::AlertView::dismissAll();  // a re-login alert of "1023"
  platform::RunLoop::main().runPending();
  return 0;
}
