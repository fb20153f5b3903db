#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"

#include "reader/f0008/SwipCard_Lib_x/Audio/CSoftDecodeForAverage.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CZE1601IODecode.h"

namespace nvx::reader::f0008 {

CSetting::CSetting() : decode_(std::make_unique<CSoftDecodeForAverage>()) {}

CSetting::CSetting(std::unique_ptr<CDecode> decode) : decode_(std::move(decode)) {}

CSetting::~CSetting() = default;

// Only the reply decoder of this reader is made: the base decoder is never built for these
// settings, so there is nothing to replace or free.
ZE1601IOSetting::ZE1601IOSetting() : CSetting(std::make_unique<CZE1601IODecode>()) {
  uThrshOffVal_ = 3000;
  uValidBitStreamMin_ = 40;
  uValidSampleCountMin_ = 5;
  uValidSampleCountMax_ = 25;
}

ZE1601IOSetting::~ZE1601IOSetting() = default;

}  // namespace nvx::reader::f0008
