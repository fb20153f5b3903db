// The server operations of the utility bills: the area list and the form description of an area
// (GET, asynchronous, 20 s, no spinner: the screen shows its own), the bill inquiry ("M50020")
// behind the window's spinner, and the prepared commit ("M80003" after an inquiry, "M80004"
// without one) that the multi-pay screen sends.
//
// The form descriptions are hand-written on the server: unquoted keys and single-quoted strings.
// Their bodies are read through UtilityDescription's tolerant reader before the one envelope
// reader judges them.
#pragma once
#include <functional>
#include <string>

#include "bills/BillsOperations.h"
#include "bills/UtilityForm.h"
#include "platform/foundation/Json.h"

namespace nvx {

class UtilityOperations {
 public:
  static constexpr const char* kInquiryBusid = "M50020";
  static constexpr const char* kCommitAfterInquiry = "M80003";
  static constexpr const char* kCommitWithoutInquiry = "M80004";
  static constexpr platform::Duration kDescriptionTimeout = std::chrono::seconds(20);

  // The areas of a business ("getCityList/<business>"): a list of entries {text, value}.
  using CityListCompletion = std::function<void(BillReply<platform::Json>)>;
  static void getCityList(const std::string& businessName, CityListCompletion completion);

  // The form description of an area ("getBizConfig/<business>/<area>"). A description that is
  // not a list of items comes back as the prompt "Error_Data".
  using DescriptionCompletion = std::function<void(BillReply<UtilityItems>)>;
  static void getBizConfig(const std::string& businessName, const std::string& area, DescriptionCompletion completion);
  // The reply of a description request, read (exposed for the fuzz target and the tests).
  static BillReply<UtilityItems> readDescription(const ServerReply& reply);

  // The inquiry with the form's bill number, number and inquiry code. The data is the bill (any
  // object); a bill without "price" comes back as the prompt "GetBillInfoFail".
  static void queryTrans(const platform::Json& form, BillsOperations::InquiryCompletion completion);
  static BillReply<platform::Json> readInquiry(const ServerReply& reply);

  // The commit's fields for the form and the amount text to commit (busid "M80003" with the
  // inquiry's "sid" as "srcsid" when the form was inquired, else "M80004"). The amount step
  // always commits "M80003" and sends "srcsid" after the amount.
  static BillFields commitFields(const platform::Json& form, const std::string& amountText, bool amountStep = false);
};

}  // namespace nvx
