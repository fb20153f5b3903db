// The home subsystem's look-and-feel requests to the main API: the advert list of the home
// banner, the current theme and the launch picture. Each completion runs once, on the main loop.
#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "core/models/HomePicEntity.h"
#include "core/models/ThemeEntity.h"
#include "platform/foundation/Json.h"

namespace nvx {

class HomeThemeOperations {
 public:
  // The adverts of a "0000" reply whose retData is a list with entries; nothing for a failure,
  // an error reply (whatever it carries), an empty list or another shape.
  using AdvertsCompletion = std::function<void(std::optional<platform::Json> adverts)>;
  // The record of a "0000" reply whose retData is an object; nullptr for anything else (a list
  // of records included: the callers act on a single one only).
  using ThemeCompletion = std::function<void(std::shared_ptr<ThemeEntity> theme)>;
  using HomePicCompletion = std::function<void(std::shared_ptr<HomePicEntity> picture)>;

  static constexpr double kAdvertTimeoutSeconds = 5;

  // GET "<base>getAdverTisement.json?uid=..&vercode=..", 5 s time-out.
  static void getAdverTisement(AdvertsCompletion completion);
  // GET "<base>getMobileTheme.json?uid=..&vercode=..&resulation=<height_width>".
  static void getMobileThemeWithBlock(ThemeCompletion completion);
  // GET "<base>getMobilehomePic.json?uid=..&vercode=..&resulation=<height_width>".
  static void getMobilehomePicWithBlock(HomePicCompletion completion);
};

}  // namespace nvx
