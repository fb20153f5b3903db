// One card-reader product the service sells, as the product list of the main API describes it.
// Every field is text; a field the server leaves out (or gives as something other than a text or
// a number) stays empty.
#pragma once
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

struct Product {
  std::string productID;     // "productId"
  std::string productImg;    // "productImg": picture address
  std::string productName;   // "productName"
  std::string productInfo1;  // "productInfo1": first short description
  std::string productInfo2;  // "productInfo2": second short description
  std::string productDesc;   // "productDesc": long description
  std::string productUrl;    // "productUrl": product web address
  std::string buyPhone;      // "buyPhone": sales hotline, digits possibly grouped with "-"

  // A product filled from one element of the list (numbers are read as their text).
  static Product fromJson(const platform::Json& element);
};

}  // namespace nvx
