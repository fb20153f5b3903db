// The pending payment request: the hand-over between a business form and the pay screen. Just
// before it pushes a pay screen, the business screen builds its commit request, and stores the
// request's field list and address here (setInfo); credit-card repayment also stores its fee
// inquiry (setRequestSearchFeeInfo). The pay screen rebuilds the request from what is stored
// (createRequest), adds its card and PIN fields and sends it. The stored request stays until the
// next setInfo replaces it; nothing clears it.
//
// The stored fields keep one value per name (a name given twice keeps its last value), in the
// order the names first came. Written on the main thread; the pay screen's worker only reads it
// while the blocking spinner covers the screen.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/net/HttpRequest.h"

namespace platform {
class Process;
}

namespace nvx {

class Tools {
 public:
  // A post-field list, as getPostdataForNVX gives it.
  using FieldList = std::vector<platform::net::PostField>;
  // A field dictionary: one entry per name.
  using FieldDict = std::vector<platform::net::PostField>;

  // How long a rebuilt request may take.
  static constexpr platform::Duration kRequestTimeout = std::chrono::seconds(60);

  // The one instance of the run.
  static Tools& sharedInstance();

  // The pending commit: address and fields. Replaces the whole pending commit.
  void setInfo(const FieldList& list, std::string url);
  // The pending fee inquiry (credit-card repayment), stored after the commit.
  void setRequestSearchFeeInfo(const FieldList& list, std::string url);
  // infoArray = list; target emptied and filled from the list. The address is not used.
  void setInfo(const FieldList& list, FieldDict& target, std::string_view url);
  // Adds or replaces one field of the pending commit; infoArray is not touched.
  void addDictionaryInfoWithKey(std::string key, std::string value);

  // A new form request to the stored address with every stored field, 60 s, no persistent
  // connection.
  std::shared_ptr<platform::net::HttpRequest> createRequest() const;
  std::shared_ptr<platform::net::HttpRequest> createSearchFeeRequest() const;
  // The time-out, the connection rule and every field of the dictionary, in its order.
  static void setRequestValue(platform::net::HttpRequest& request, const FieldDict& infoDic);

  const std::string& url() const { return url_; }
  void setUrl(std::string url) { url_ = std::move(url); }
  const std::string& searFeeUrl() const { return searFeeUrl_; }
  void setSearFeeUrl(std::string url) { searFeeUrl_ = std::move(url); }
  // The list given by the latest setInfo or setRequestSearchFeeInfo, unchanged.
  const FieldList& infoArray() const { return infoArray_; }
  void setInfoArray(FieldList list) { infoArray_ = std::move(list); }
  const FieldDict& infoDic() const { return infoDic_; }
  const FieldDict& requestSearchFeeInfoDic() const { return requestSearchFeeInfoDic_; }
  // The value of a stored commit field.
  std::optional<std::string> infoValue(std::string_view key) const;

  // The reversible scrambling of stored key texts (core's mix and demix).
  static std::optional<std::string> mix(std::string_view text);
  static std::optional<std::string> demix(std::string_view text);

 private:
  friend class platform::Process;
  Tools() = default;

  std::string url_;
  FieldDict infoDic_;
  std::string searFeeUrl_;
  FieldDict requestSearchFeeInfoDic_;
  FieldList infoArray_;
};

}  // namespace nvx
