#include "account/IdentityData.h"

#include "core/text/StringsTool.h"
#include "platform/foundation/Text16.h"
#include "platform/media/PictureDecoder.h"
#include "platform/media/PictureEncoder.h"

namespace nvx::account {

namespace {

// Identity photos larger than this (pixels) are refused before they are decoded.
constexpr int64_t kMaxPhotoPixels = 40'000'000;

std::optional<std::string> textOf(const platform::Json& object, const char* key) {
  if (!object.is_object() || !object.contains(key) || !object[key].is_string()) return std::nullopt;
  return object[key].get<std::string>();
}

}  // namespace

bool isSendableIdCardNumber(std::string_view number) {
  for (size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    if (c >= '0' && c <= '9') continue;
    if ((c == 'X' || c == 'x') && i + 1 == number.size()) continue;
    return false;
  }
  return StringsTool::isChineseIdentityCard(number);
}

UserIdentityInfo UserIdentityInfo::fromJson(const platform::Json& data) {
  UserIdentityInfo info;
  info.realName = textOf(data, "realName");
  info.email = textOf(data, "email");
  if (!data.is_object() || !data.contains("idCardInfo")) return info;
  const platform::Json& card = data["idCardInfo"];
  info.idCardId = textOf(card, "idCardId");
  info.authStatus = textOf(card, "authStatus").value_or("");
  info.authRemark = textOf(card, "authRemark").value_or("");
  if (card.is_object() && card.contains("picPaths") && card["picPaths"].is_array()) {
    for (const auto& name : card["picPaths"]) {
      if (name.is_string()) info.picPaths.push_back(name.get<std::string>());
    }
  }
  return info;
}

std::optional<platform::ui::Image> decodePhoto(std::string_view bytes) {
  auto decoded = platform::media::PictureDecoder::decode(bytes, kMaxPhotoPixels);
  if (!decoded.isOk()) return std::nullopt;
  return platform::ui::Image::withPixels(decoded->width, decoded->height, std::move(decoded->rgba));
}

std::optional<std::string> photoJpeg(const platform::ui::Image& picture, double quality) {
  if (!picture.hasPixels()) return std::nullopt;
  auto jpeg = platform::media::PictureEncoder::jpeg(picture.pixelWidth(), picture.pixelHeight(), *picture.pixels, quality);
  if (!jpeg.isOk()) return std::nullopt;
  return std::move(jpeg.value());
}

bool realNameChangeAllowed(std::string_view current, platform::Range16 range, std::string_view replacement) {
  if (range.length == 0 && platform::u16len(current) + platform::u16len(replacement) > kRealNameLimit) return false;
  return replacement.empty() || StringsTool::isAllowInputlCharacters(replacement);
}

std::string handelName(std::string_view name) {
  std::u16string text = platform::toUtf16(name);
  if (text.empty()) return {};
  return platform::fromUtf16(text.substr(0, 1)) + std::string(text.size() - 1, '*');
}

std::string handelAccount(std::string_view number) {
  std::u16string text = platform::toUtf16(number);
  if (text.size() <= 1) return std::string(number);
  return platform::fromUtf16(text.substr(0, 1)) + "***********" + platform::fromUtf16(text.substr(text.size() - 1));
}

std::string handelAccountWhere(std::string_view email) {
  std::u16string text = platform::toUtf16(email);
  const size_t at = text.find(u'@');
  if (at == std::u16string::npos || at < 4) return std::string(email);
  return platform::fromUtf16(text.substr(0, 3)) + "****" + platform::fromUtf16(text.substr(at));
}

}  // namespace nvx::account
