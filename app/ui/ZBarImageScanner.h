// zbar's image scanner, as the bar-code reader screen configures and runs it: it finds the bar
// codes in a camera frame and decodes them. zbar is included only in ZBarImageScanner.cpp.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/media/Camera.h"

namespace nvx {

// One decoded bar code.
struct ZBarSymbol {
  int type = 0;           // zbar's symbology number (128 Code 128, 25 Interleaved 2 of 5, ...)
  std::string typeName;   // zbar's name of it ("CODE-128", "I2/5", ...)
  std::string data;       // the decoded text
};

// The symbols of one frame, in zbar's order.
using ZBarSymbolSet = std::vector<ZBarSymbol>;

class ZBarImageScanner {
 public:
  // zbar's numbers for the symbologies and the configuration the client uses.
  static constexpr int kSymbologyNone = 0;   // a configuration for every symbology
  static constexpr int kSymbologyI25 = 25;   // Interleaved 2 of 5
  static constexpr int kSymbologyCode128 = 128;
  static constexpr int kConfigEnable = 0;

  // Every symbology as zbar has it by default.
  ZBarImageScanner();
  ~ZBarImageScanner();
  ZBarImageScanner(const ZBarImageScanner&) = delete;
  ZBarImageScanner& operator=(const ZBarImageScanner&) = delete;

  // zbar's configuration call; false when zbar refuses it.
  bool setSymbology(int symbology, int config, int value);

  // The bar codes zbar decodes in the frame (its luminance); none for a frame without any.
  ZBarSymbolSet scanImage(const platform::media::CameraFrame& frame);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nvx
