// The home banner's adverts and the client's look on the main-API stand-in: "getAdverTisement"
// (the advert list), "getMobileTheme" (the current theme) and "getMobilehomePic" (the launch
// picture). Tests set what they answer through feature<ThemeState>(); the files they name are
// served by a FileStandin.
#pragma once
#include <string>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct ThemeState {
  // The advert list served as it stands (entries {"id", "aName", "aImg", "aType", "aUrl",
  // "aContent", "note"}).
  platform::Json adverts = platform::Json::array();
  // The theme and home-picture records served as they stand; null answers "0000" without data.
  platform::Json theme;
  platform::Json homePic;
  // The "resulation" each theme or picture call carried, in order.
  std::vector<std::string> resolutions;
};

void addThemeRoutes(MainApiStandin& server);

}  // namespace standin
