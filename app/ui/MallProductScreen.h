// What the screens of other modules need of the mall's product page, which lives in the mall
// module: it is made by class name through ScreenRegistry ("MallProductDetailViewController")
// and given the product's detail and its cart entry through this interface; until it is
// registered, opening it logs and does nothing.
#pragma once

#include "platform/foundation/Json.h"

namespace nvx {

class MallProductScreen {
 public:
  static constexpr const char* kClassName = "MallProductDetailViewController";

  virtual ~MallProductScreen() = default;
  // The mall server's product reply.
  virtual void setDetailDic(platform::Json detail) = 0;
  // The product's entry as a cart entry is made of it.
  virtual void setCartDic(platform::Json cart) = 0;
};

}  // namespace nvx
