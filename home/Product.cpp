#include "home/Product.h"

namespace nvx {

Product Product::fromJson(const platform::Json& element) {
  auto field = [&](std::string_view key) { return platform::json::text(element, key).value_or(std::string()); };
  Product product;
  product.productID = field("productId");
  product.productImg = field("productImg");
  product.productName = field("productName");
  product.productInfo1 = field("productInfo1");
  product.productInfo2 = field("productInfo2");
  product.productDesc = field("productDesc");
  product.productUrl = field("productUrl");
  product.buyPhone = field("buyPhone");
  return product;
}

}  // namespace nvx
