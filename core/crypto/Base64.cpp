#include "core/crypto/Base64.h"

#include <climits>

#include <openssl/evp.h>
#include <unicode/ustring.h>

namespace nvx {
namespace {

// Chunks stay well inside OpenSSL's int lengths; both are whole Base64 groups.
constexpr size_t kEncodeChunk = 3 * 16384;
constexpr size_t kDecodeChunk = 4 * 16384;

bool isBase64Char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

// Appends the bytes of text, made only of whole 4-character groups of alphabet characters, to
// out. "=" padding in the last group still yields 3 bytes for it: the caller keeps the real ones.
void decodeGroups(std::string_view text, std::string& out) {
  std::string buffer;
  for (size_t at = 0; at < text.size(); at += kDecodeChunk) {
    std::string_view chunk = text.substr(at, kDecodeChunk);
    buffer.resize(chunk.size() / 4 * 3);
    int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(buffer.data()),
                            reinterpret_cast<const unsigned char*>(chunk.data()),
                            static_cast<int>(chunk.size()));
    if (n > 0) out.append(buffer.data(), static_cast<size_t>(n));
  }
}

}  // namespace

std::string base64StringFromData(std::string_view data) {
  std::string text;
  text.reserve((data.size() + 2) / 3 * 4);
  std::string buffer;
  for (size_t at = 0; at < data.size(); at += kEncodeChunk) {
    std::string_view chunk = data.substr(at, kEncodeChunk);
    buffer.resize((chunk.size() + 2) / 3 * 4 + 1);
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(buffer.data()),
                            reinterpret_cast<const unsigned char*>(chunk.data()),
                            static_cast<int>(chunk.size()));
    text.append(buffer.data(), static_cast<size_t>(n));
  }
  return text;
}

std::string base64DataFromString(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text) {
    if (c == '=') break;
    if (isBase64Char(c)) clean.push_back(c);
  }
  size_t whole = clean.size() / 4 * 4;
  size_t rest = clean.size() - whole;
  std::string data;
  data.reserve(clean.size() / 4 * 3 + 2);
  decodeGroups(std::string_view(clean).substr(0, whole), data);
  if (rest >= 2) {
    // A last group of 2 or 3 characters carries 1 or 2 bytes.
    std::string last = clean.substr(whole) + std::string(4 - rest, '=');
    std::string bytes;
    decodeGroups(last, bytes);
    data.append(bytes, 0, rest - 1);
  }
  return data;
}

std::optional<std::string> toBase64String(std::string_view text) {
  if (text.size() > size_t(INT32_MAX / 2)) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  int32_t units = 0;
  u_strFromUTF8(nullptr, 0, &units, text.data(), static_cast<int32_t>(text.size()), &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
  std::u16string utf16(static_cast<size_t>(units), u'\0');
  status = U_ZERO_ERROR;
  u_strFromUTF8(utf16.data(), units, nullptr, text.data(), static_cast<int32_t>(text.size()),
                &status);
  if (U_FAILURE(status)) return std::nullopt;
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + utf16.size() * 2);
  for (char16_t unit : utf16) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return base64StringFromData(bytes);
}

std::optional<std::string> fromBase64String(std::string_view base64) {
  std::string bytes = base64DataFromString(base64);
  if (bytes.size() % 2 != 0) return std::nullopt;
  bool bigEndian = false;
  size_t at = 0;
  if (bytes.size() >= 2) {
    auto b0 = static_cast<unsigned char>(bytes[0]);
    auto b1 = static_cast<unsigned char>(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
      at = 2;
      bigEndian = b0 == 0xFE;
    }
  }
  std::u16string utf16;
  utf16.reserve((bytes.size() - at) / 2);
  for (; at < bytes.size(); at += 2) {
    auto first = static_cast<unsigned char>(bytes[at]);
    auto second = static_cast<unsigned char>(bytes[at + 1]);
    unsigned unit = bigEndian ? (first << 8 | second) : (second << 8 | first);
    utf16.push_back(static_cast<char16_t>(unit));
  }
  if (utf16.size() > size_t(INT32_MAX / 3)) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8(nullptr, 0, &length, utf16.data(), static_cast<int32_t>(utf16.size()), &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
  std::string text(static_cast<size_t>(length), '\0');
  status = U_ZERO_ERROR;
  u_strToUTF8(text.data(), length, nullptr, utf16.data(), static_cast<int32_t>(utf16.size()),
              &status);
  if (U_FAILURE(status)) return std::nullopt;
  return text;
}

}  // namespace nvx
