#include "core/text/MoneyFormat.h"

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/locid.h>

#include "core/text/TextNumber.h"

namespace nvx::text {

std::string formatMoney(double value) {
  UErrorCode status = U_ZERO_ERROR;
  // The symbols are fixed (not the user's locale) so that "," groups and "." separates always.
  auto* symbols = new icu::DecimalFormatSymbols(icu::Locale("en_US"), status);
  icu::DecimalFormat format(icu::UnicodeString(u"#,##0.00#"), symbols, status);
  if (U_FAILURE(status)) return std::string();
  format.setRoundingMode(icu::DecimalFormat::kRoundHalfEven);
  icu::UnicodeString out;
  format.format(value, out);
  std::string utf8;
  out.toUTF8String(utf8);
  return utf8;
}

std::string formatCNMoney(double value) { return formatMoney(value) + " 元"; }

bool isMoneyValid(std::string_view text) { return doubleValue(text) > 0; }

}  // namespace nvx::text
