#include "home/Advertising.h"

#include <limits>

#include "core/text/DateFormats.h"

namespace nvx {

namespace {

int32_t int32Of(const platform::Json& json, std::string_view key) {
  const int64_t value = platform::json::integer(json, key).value_or(0);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(value);
}

std::string textOf(const platform::Json& json, std::string_view key) { return platform::json::text(json, key).value_or(""); }

}  // namespace

Advertising Advertising::initWithJson(const platform::Json& json) {
  Advertising ad;
  ad.adID = int32Of(json, "id");
  ad.adName = textOf(json, "aName");
  ad.adImage = textOf(json, "aImg");
  ad.adType = int32Of(json, "aType");
  ad.adUrl = textOf(json, "aUrl");
  ad.adContent = textOf(json, "aContent");
  ad.adNote = textOf(json, "note");
  return ad;
}

Advertising::Advertising(const platform::Unarchiver& coder)
    : adID(static_cast<int32_t>(coder.integer("adID"))),
      adName(coder.text("adName").value_or("")),
      adImage(coder.text("adImage").value_or("")),
      adType(static_cast<int32_t>(coder.integer("adType"))),
      adUrl(coder.text("adUrl").value_or("")),
      adContent(coder.text("adContent").value_or("")),
      adNote(coder.text("adNote").value_or("")) {}

void Advertising::encode(platform::Archiver& coder) const {
  coder.setInt("adID", adID);
  coder.setText("adName", adName);
  coder.setText("adImage", adImage);
  coder.setInt("adType", adType);
  coder.setText("adUrl", adUrl);
  coder.setText("adContent", adContent);
  coder.setText("adNote", adNote);
}

bool Advertising::isNewLocalPeriod() {
  static constexpr std::string_view kChange = "2013-10-20";
  const auto change = parseDate(kChange, "yyyy-MM-dd");
  return !change || platform::clock().wallNow() >= *change;
}

void Advertising::registerArchiveClass() { platform::registerArchivable<Advertising>(kArchiveClass); }

}  // namespace nvx
