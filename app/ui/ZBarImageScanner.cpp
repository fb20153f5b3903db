#include "app/ui/ZBarImageScanner.h"

#include <zbar.h>

namespace nvx {

// zbar's C interface sits in its namespace when compiled as C++.
using namespace zbar;

static_assert(ZBarImageScanner::kSymbologyNone == ZBAR_NONE);
static_assert(ZBarImageScanner::kSymbologyI25 == ZBAR_I25);
static_assert(ZBarImageScanner::kSymbologyCode128 == ZBAR_CODE128);
static_assert(ZBarImageScanner::kConfigEnable == ZBAR_CFG_ENABLE);

struct ZBarImageScanner::Impl {
  zbar_image_scanner_t* scanner = nullptr;
};

ZBarImageScanner::ZBarImageScanner() : impl_(std::make_unique<Impl>()) {
  impl_->scanner = zbar_image_scanner_create();
}

ZBarImageScanner::~ZBarImageScanner() {
  if (impl_->scanner != nullptr) zbar_image_scanner_destroy(impl_->scanner);
}

bool ZBarImageScanner::setSymbology(int symbology, int config, int value) {
  if (impl_->scanner == nullptr) return false;
  return zbar_image_scanner_set_config(impl_->scanner, static_cast<zbar_symbol_type_t>(symbology),
                                       static_cast<zbar_config_t>(config), value) == 0;
}

ZBarSymbolSet ZBarImageScanner::scanImage(const platform::media::CameraFrame& frame) {
  ZBarSymbolSet symbols;
  if (impl_->scanner == nullptr || frame.width <= 0 || frame.height <= 0) return symbols;
  if (frame.rgba.size() != static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height) * 4) return symbols;
  std::vector<uint8_t> grey = frame.luma();

  zbar_image_t* image = zbar_image_create();
  zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image, static_cast<unsigned>(frame.width), static_cast<unsigned>(frame.height));
  zbar_image_set_data(image, grey.data(), grey.size(), nullptr);   // zbar borrows the bytes
  if (zbar_scan_image(impl_->scanner, image) > 0) {
    for (const zbar_symbol_t* s = zbar_image_first_symbol(image); s != nullptr; s = zbar_symbol_next(s)) {
      ZBarSymbol symbol;
      symbol.type = static_cast<int>(zbar_symbol_get_type(s));
      symbol.typeName = zbar_get_symbol_name(zbar_symbol_get_type(s));
      symbol.data.assign(zbar_symbol_get_data(s), zbar_symbol_get_data_length(s));
      symbols.push_back(std::move(symbol));
    }
  }
  zbar_image_destroy(image);
  return symbols;
}

}  // namespace nvx
