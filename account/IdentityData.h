// What the identity screens share: the user data of the profile query, the photos as they are
// downloaded and uploaded, and the masks under which confirmed data is shown.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/Image.h"

namespace nvx::account {

// The prompt for a chosen photo that cannot be encoded for the upload.
inline constexpr const char* kPhotoUnreadable = "身份证照片无法读取，请重新选择";

// The profile query's "retData": a missing or non-text value reads as nothing.
struct UserIdentityInfo {
  std::optional<std::string> realName;
  std::optional<std::string> email;
  std::optional<std::string> idCardId;
  std::string authStatus;   // "NONE", "APPLY", "REJECT", "PASS" or anything the server sends
  std::string authRemark;
  std::vector<std::string> picPaths;   // front first

  static UserIdentityInfo fromJson(const platform::Json& data);
};

// A downloaded photo as a picture with its pixels; nothing for anything that is not a whole PNG
// or JPEG picture of a sensible size.
std::optional<platform::ui::Image> decodePhoto(std::string_view bytes);
// A photo as JPEG at the quality (0.0 to 1.0); nothing for a picture without pixels.
std::optional<std::string> photoJpeg(const platform::ui::Image& picture, double quality);

// An identity-card number fit to send: the number check (length and check character) on ASCII
// digits, with "X" or "x" only as the check character. The check alone reads digits of other
// scripts as 0 and lets them through; they are no number to send.
bool isSendableIdCardNumber(std::string_view number);

// The real-name field's filter: an insertion that would make the name longer than 16 characters
// is refused (a replacement of selected text is not counted), and so is inserted text with
// characters a name cannot hold.
inline constexpr size_t kRealNameLimit = 16;
bool realNameChangeAllowed(std::string_view current, platform::Range16 range, std::string_view replacement);

// The masks: the first character and a star for each further one; the first and last character
// around 11 stars; the e-mail's local part from position 3 up to the "@" as "****" when the
// "@" is at position 4 or later. Positions count characters, not bytes.
std::string handelName(std::string_view name);
std::string handelAccount(std::string_view number);
std::string handelAccountWhere(std::string_view email);

}  // namespace nvx::account
