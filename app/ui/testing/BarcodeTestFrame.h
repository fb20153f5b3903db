// Test-only: camera frames that show a bar code, drawn by zxing-cpp's writer, so that the scanner
// reads codes made by another library. Include only from test files that do not include zbar:
// the headers of the two libraries clash.
#pragma once
#ifndef ZX_USE_UTF8
#define ZX_USE_UTF8
#endif
#include <ZXing/BarcodeFormat.h>
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <string>
#include <vector>

#include "platform/media/Camera.h"

namespace nvx::testing {

// The code drawn black on white, width x height pixels, with a quiet zone of margin pixels.
inline platform::media::CameraFrame barcodeFrame(ZXing::BarcodeFormat format, const std::string& text, int width = 480,
                                                 int height = 160, int margin = 20) {
  ZXing::BitMatrix bits = ZXing::MultiFormatWriter(format).setMargin(margin).encode(text, width, height);
  std::vector<uint8_t> grey(static_cast<size_t>(bits.width()) * static_cast<size_t>(bits.height()));
  for (int y = 0; y < bits.height(); ++y) {
    for (int x = 0; x < bits.width(); ++x) {
      grey[static_cast<size_t>(y) * static_cast<size_t>(bits.width()) + static_cast<size_t>(x)] = bits.get(x, y) ? 0 : 255;
    }
  }
  return platform::media::CameraFrame::fromGray(bits.width(), bits.height(), grey).value();
}

// A frame with nothing on it.
inline platform::media::CameraFrame blankFrame(int width = 480, int height = 160) {
  return platform::media::CameraFrame::fromGray(width, height, std::vector<uint8_t>(static_cast<size_t>(width * height), 255))
      .value();
}

}  // namespace nvx::testing
