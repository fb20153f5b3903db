#include "pay/MarketingEntity.h"

#include <charconv>

#include "core/session/UserDefaultsExt.h"

namespace nvx {

namespace {

// Every field in order, with its key (reply and archive), getter and setter.
template <class F>
void eachField(F&& f) {
  f("aId", &MarketingEntity::aId, &MarketingEntity::setAId);
  f("aName", &MarketingEntity::aName, &MarketingEntity::setAName);
  f("aImg", &MarketingEntity::aImg, &MarketingEntity::setAImg);
  f("aType", &MarketingEntity::aType, &MarketingEntity::setAType);
  f("aUrl", &MarketingEntity::aUrl, &MarketingEntity::setAUrl);
  f("aContent", &MarketingEntity::aContent, &MarketingEntity::setAContent);
  f("reqSys", &MarketingEntity::reqSys, &MarketingEntity::setReqSys);
  f("note", &MarketingEntity::note, &MarketingEntity::setNote);
  f("content", &MarketingEntity::content, &MarketingEntity::setContent);
}

bool isWebAddress(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (url.size() > scheme.size() && url.substr(0, scheme.size()) == scheme) return true;
  }
  return false;
}

}  // namespace

MarketingEntity MarketingEntity::initWithJson(const platform::Json& json) {
  MarketingEntity e;
  if (!json.is_object()) return e;
  eachField([&](const char* key, auto, auto set) {
    auto it = json.find(key);
    if (it == json.end() || it->is_object() || it->is_array() || it->is_null()) return;
    (e.*set)(platform::json::asText(*it).value_or(""));
  });
  return e;
}

MarketingEntity::MarketingEntity(const platform::Unarchiver& coder) {
  eachField([&](const char* key, auto, auto set) { (this->*set)(coder.text(archiveKey(key)).value_or("")); });
}

void MarketingEntity::encode(platform::Archiver& coder) const {
  eachField([&](const char* key, auto get, auto) { coder.setText(archiveKey(key), (this->*get)()); });
}

std::string MarketingEntity::description() const {
  std::string out = "\n";
  eachField([&](const char* key, auto get, auto) { out += std::string(key) + " : " + (this->*get)() + "\n"; });
  return out;
}

MarketingEntity::Kind MarketingEntity::openableKind() const {
  // The kind is the number the text starts with ("2", " 2", "02").
  std::string_view text = aType_;
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  int kind = 0;
  std::from_chars(text.data(), text.data() + text.size(), kind);
  switch (kind) {
    case 1:
      return isWebAddress(aUrl_) ? Kind::AdvertPage : Kind::Nothing;
    case 2:
      return note_.empty() ? Kind::Nothing : Kind::Business;
    case 3:
      return Kind::StorePage;
    case 5:
      return isWebAddress(aUrl_) ? Kind::MallTheme : Kind::Nothing;
    default:
      return Kind::Nothing;
  }
}

bool MarketingEntity::operator==(const MarketingEntity& other) const {
  bool same = true;
  eachField([&](const char*, auto get, auto) { same = same && (this->*get)() == (other.*get)(); });
  return same;
}

void MarketingEntity::registerArchiveClass() { platform::registerArchivable<MarketingEntity>(kArchiveClass); }

}  // namespace nvx
