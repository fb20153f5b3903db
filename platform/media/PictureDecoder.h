// The one reader of PNG and JPEG pictures in the platform layer: the pixel size from a picture's
// header (bundle pictures, pictures from bytes) or every pixel as RGBA (camera frames). Nothing
// else includes libpng or libjpeg.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/foundation/Status.h"

namespace platform::media {

struct PictureSize {
  int width = 0;    // pixels
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

// Row-major RGBA pixels, 4 bytes each, width x height.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

class PictureDecoder {
 public:
  // The size a PNG or JPEG header gives (both dimensions positive); nothing for anything else or
  // a header the library cannot read (cut short, a damaged PNG header chunk).
  static std::optional<PictureSize> size(std::string_view bytes);
  // Every pixel of a PNG or JPEG picture; an error for anything else, for a damaged picture, and
  // for one of more than maxPixels pixels (refused before the pixels are allocated).
  static Result<DecodedPicture> decode(std::string_view bytes, int64_t maxPixels);
};

}  // namespace platform::media
