// One entry of the donation lists: an agency ("ngoId", "ngoNm") or a project ("projectId",
// "projectNm"); a key the reply lacks stays missing.
#pragma once
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class PublicDonationParse {
 public:
  static PublicDonationParse initWithDic(const platform::Json& dic);

  std::optional<std::string> ngoId;
  std::optional<std::string> ngoNm;
  std::optional<std::string> projectId;
  std::optional<std::string> projectNm;
};

}  // namespace nvx
