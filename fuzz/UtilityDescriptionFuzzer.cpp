// Fuzzes the reader of the utility bills' hand-written form descriptions and what the screen
// does with a description: the text rewrite, the item tree, the form build (includes, nested
// choices, codes) and the checks. Whatever the bytes: no crash, no hang, and a body that already
// is JSON comes out of the rewrite unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bills/UtilityForm.h"
#include "platform/foundation/Json.h"

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "utility description: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string body(reinterpret_cast<const char*>(data), size);
  auto text = nvx::UtilityDescription::toJsonText(body);
  // (The JSON reader ends a text at a NUL byte; what follows is not JSON it has judged.)
  if (auto strict = platform::json::parse(body); strict && text && body.find('\0') == std::string::npos) {
    check(*text == body, "JSON text rewritten");
  }
  if (!text) return 0;
  auto json = platform::json::parse(*text);
  if (!json) return 0;
  const platform::Json* list = &*json;
  if (json->is_object() && json->contains("retData")) list = &(*json)["retData"];
  auto items = nvx::UtilityDescription::items(*list);
  if (!items.isOk()) return 0;
  nvx::UtilityFormState state;
  if (!state.update(items.value()).isOk()) {
    check(state.inputForm.empty() && state.subbid.empty(), "a refused description left rows");
    return 0;
  }
  // A second build from the same description (the user chose again) ends the same way.
  const size_t rows = state.inputForm.size();
  check(state.update(items.value()).isOk() && state.inputForm.size() == rows, "a rebuild differs");
  nvx::UtilityFormInput input;
  input.state = &state;
  input.areaChosen = true;
  input.areaName = "北京";
  auto form = nvx::finalForm(input);
  if (auto* f = std::get_if<platform::Json>(&form)) {
    (void)nvx::payAmount(*f, false);
    (void)nvx::checkAmountStep(*f, state.input2Form.empty() ? nullptr : state.input2Form.front().get());
  }
  return 0;
}
