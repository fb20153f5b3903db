// The insurance routes of the main-API stand-in: the product lists (promotion and plain), one
// product's record, the area and country lists, the policy inquiry (business "174") and the
// commit's own checks (business "173"). An inquiry issues a serial number that the commit must
// send back with the same product, amount, insured person and policy text; the server checks the
// policy text as a real insurer would: six fields, or eight ending with a bar for a product that
// needs a destination country, and an end date that is the start date plus the cover less a day.
// An accepted commit answers with a policy number ("policyId").
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct InsuranceState {
  struct Product {
    platform::Json record;   // the full record "getInsuranceInfo/<id>" answers
    bool promotion = false;  // listed with isPromotion=0
  };
  struct Inquiry {
    std::string billno;
    int64_t amountFen = 0;
    std::string idnumber;
    std::string mobileno;
    std::string addpad;
  };
  std::vector<Product> products;
  // getCityListOfProvince/0000: {cNm, cNmC, pNm}; getCountryList: {countryNameCn, countryCnPy,
  // countryNameUs, countryCode}.
  platform::Json areas = platform::Json::array();
  platform::Json countries = platform::Json::array();
  std::map<std::string, Inquiry, std::less<>> inquiries;
  // The policies issued, in order: their numbers.
  std::vector<std::string> policies;

  // Three products (two plain, one promotion; one plain product needs a country), a few areas
  // and countries.
  InsuranceState();
  const Product* product(std::string_view id) const;
};

void addInsuranceRoutes(MainApiStandin& server);

}  // namespace standin
