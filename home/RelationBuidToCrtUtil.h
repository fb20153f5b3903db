// The table from a business code to the screen that opens it, used by the message centre and the
// mall pages (21 entries, in insertion order). It differs from the catalogue: bill instalments are
// keyed by the empty code, and credit-card repayment opens CreditCardRepaymentViewController.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace nvx {

class RelationBuidToCrtUtil {
 public:
  using BusinessMap = std::vector<std::pair<std::string, std::string>>;
  // Business code -> screen class name, in insertion order.
  static BusinessMap setBusinessMap();
  // The screen class of a code; empty when the table has none.
  static std::string classForCode(const BusinessMap& map, const std::string& code);
};

}  // namespace nvx
