#include "pay/Tools.h"

#include <algorithm>

#include "core/crypto/Demix.h"
#include "platform/foundation/Process.h"

namespace nvx {

namespace {

void setField(Tools::FieldDict& dict, std::string key, std::string value) {
  auto it = std::find_if(dict.begin(), dict.end(), [&](const auto& f) { return f.key == key; });
  if (it != dict.end()) {
    it->value = std::move(value);
  } else {
    dict.push_back({std::move(key), std::move(value)});
  }
}

std::shared_ptr<platform::net::HttpRequest> rebuilt(const std::string& url, const Tools::FieldDict& fields) {
  auto request = platform::net::HttpRequest::make(url, true);
  Tools::setRequestValue(*request, fields);
  return request;
}

}  // namespace

Tools& Tools::sharedInstance() { return platform::Process::current().shared<Tools>(); }

void Tools::setInfo(const FieldList& list, std::string url) {
  url_ = std::move(url);
  setInfo(list, infoDic_, url_);
}

void Tools::setRequestSearchFeeInfo(const FieldList& list, std::string url) {
  searFeeUrl_ = std::move(url);
  setInfo(list, requestSearchFeeInfoDic_, searFeeUrl_);
}

void Tools::setInfo(const FieldList& list, FieldDict& target, std::string_view /*url*/) {
  infoArray_ = list;
  target.clear();
  for (const auto& field : list) {
    if (field.key.empty()) continue;
    setField(target, field.key, field.value);
  }
}

void Tools::addDictionaryInfoWithKey(std::string key, std::string value) {
  if (key.empty()) return;
  setField(infoDic_, std::move(key), std::move(value));
}

std::shared_ptr<platform::net::HttpRequest> Tools::createRequest() const { return rebuilt(url_, infoDic_); }

std::shared_ptr<platform::net::HttpRequest> Tools::createSearchFeeRequest() const {
  return rebuilt(searFeeUrl_, requestSearchFeeInfoDic_);
}

void Tools::setRequestValue(platform::net::HttpRequest& request, const FieldDict& infoDic) {
  request.setTimeout(kRequestTimeout);
  request.setPersistentConnection(false);
  for (const auto& field : infoDic) request.setPostValue(field.key, field.value);
}

std::optional<std::string> Tools::infoValue(std::string_view key) const {
  for (const auto& field : infoDic_) {
    if (field.key == key) return field.value;
  }
  return std::nullopt;
}

std::optional<std::string> Tools::mix(std::string_view text) { return nvx::mix(text); }
std::optional<std::string> Tools::demix(std::string_view text) { return nvx::demix(text); }

}  // namespace nvx
