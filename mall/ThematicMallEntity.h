// A mall subject (a themed promotion): its web page's address. The push and marketing entries
// make one with only the address set.
#pragma once
#include <string>

namespace nvx {

class ThematicMallEntity {
 public:
  ThematicMallEntity() = default;

  // The address of the subject's web page; its query may carry "title" (the page title) and
  // "pCode" (the promotion code).
  const std::string& url() const { return url_; }
  void setUrl(std::string url) { url_ = std::move(url); }

 private:
  std::string url_;
};

}  // namespace nvx
