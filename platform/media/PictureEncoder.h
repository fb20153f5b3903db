// The one writer of JPEG pictures in the platform layer: RGBA pixels to JPEG bytes at a quality
// of 0.0 to 1.0 (as the phone's picture API takes it). Nothing else includes libjpeg to write.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Status.h"

namespace platform::media {

class PictureEncoder {
 public:
  // JPEG bytes of width x height RGBA pixels (alpha dropped); an error when the buffer does not
  // hold exactly width x height x 4 bytes or a dimension is not positive. The quality is clamped
  // to 0.0..1.0 and maps onto libjpeg's 1..100.
  static Result<std::string> jpeg(int width, int height, const std::vector<uint8_t>& rgba, double quality);
};

}  // namespace platform::media
