// Fuzzes what a receipt reads from the server and the business screens: the commit reply's data
// and the display data, as JSON the input spells, through the rows of every business type, and
// the marketing item's reply. Whatever arrives, each type gives its title and rows without a
// crash; a reply that is not an object gives no rows and the server-error text; every amount a
// row shows comes from whole fen and is written back as text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/ui/TransactionInfoLabelSource.h"
#include "pay/MarketingEntity.h"
#include "pay/ReceiptRows.h"
#include "pay/ResultRows.h"
#include "platform/foundation/Json.h"

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "receipt reply: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is the reply's data, then after the first zero byte the display data.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const size_t split = bytes.find('\0');
  const std::string replyText = bytes.substr(0, split);
  const std::string formText = split == std::string::npos ? std::string() : bytes.substr(split + 1);
  const platform::Json reply = platform::json::parse(replyText).value_or(platform::Json());
  const platform::Json form = platform::json::parse(formText).value_or(platform::Json());

  for (int type = -1; type <= 38; ++type) {
    nvx::ReceiptContent content = nvx::ReceiptRows::contentFor(type, form, reply, std::string("4367****1111"));
    check(!content.title.empty(), "a receipt without a title");
    if (!reply.is_object()) {
      check(content.rows.empty(), "rows from a reply that is not an object");
      check(content.successText == nvx::ReceiptRows::kServerError, "no server-error text for a bad reply");
    }
    for (const auto& row : content.rows) {
      check(row != nullptr, "an empty row");
      if (row->isNumber()) check(!nvx::ResultRows::moneyText(row->amount()).empty(), "an amount without text");
    }
  }
  if (reply.is_object()) {
    for (const char* key : {"fee", "price", "amount"}) {
      const int64_t fen = nvx::ReceiptRows::replyAmountFen(reply, key);
      check(fen >= 0, "a negative reply amount");
    }
  }
  nvx::MarketingEntity item = nvx::MarketingEntity::initWithJson(reply);
  (void)item.openableKind();
  (void)item.description();
  return 0;
}
