// One advert of the home banner, as the server lists it or as the client's local set holds it.
// Kept in the user defaults as a keyed archive whose keys carry no prefix.
#pragma once
#include <cstdint>
#include <string>

#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class Advertising : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "Advertising";

  Advertising() = default;
  // From one entry of the server's list: "id", "aName", "aImg", "aType", "aUrl", "aContent",
  // "note" (ids and types read as integers, texts as the server gives them, numbers as text).
  static Advertising initWithJson(const platform::Json& json);
  explicit Advertising(const platform::Unarchiver& coder);

  int32_t adID = 0;
  std::string adName;
  std::string adImage;
  // What a tap does; the home screen reads it.
  int32_t adType = 0;
  std::string adUrl;
  std::string adContent;
  // A business code or a tag the home screen acts on.
  std::string adNote;

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

  // Whether the wall clock has reached 20 October 2013, 00:00 local time: the local adverts
  // and pictures changed then.
  static bool isNewLocalPeriod();
};

}  // namespace nvx
