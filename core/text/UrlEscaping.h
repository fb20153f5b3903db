// Percent-escaping and query handling of URL texts. Three escaping sets are in use and differ on
// purpose: encodeURLString (form values: only letters, digits, "-", "." and "_" stay),
// escapedURLString (byte-wise: only bytes >= 0x80 and " #%/:;@") and escapesUTF8Url (only what
// may never appear in a URL; reserved characters such as "&=?/:" stay). Hexadecimal digits of
// escapes are upper case. Nothing is unescaped when a query is parsed.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"

namespace nvx::text {

// The text's UTF-8 bytes percent-escaped, except ASCII letters, digits, "-", "." and "_";
// "" when the text is not valid UTF-8.
std::string encodeURLString(std::string_view text);
// Byte by byte: bytes of 0x80 and above and the characters space # % / : ; @ become "%XX";
// every other byte stays as it is.
std::string escapedURLString(std::string_view text);
// "%" and the next two characters become the byte they spell in hexadecimal (upper or lower
// case; a character that is not a hexadecimal digit counts as 0; at the end of the text only the
// characters present count). Zero bytes are dropped. Nothing when the bytes are not UTF-8.
std::optional<std::string> originalURLString(std::string_view text);
// The characters that may not appear in a URL escaped as UTF-8: controls, space, non-ASCII and
// " # % < > [ \ ] ^ ` { | }. Nothing when the text is not valid UTF-8.
std::optional<std::string> escapesUTF8Url(std::string_view text);
// Everything but ASCII letters, digits, "-", ".", "_" and "~" escaped as UTF-8; nothing when the
// text is not valid UTF-8.
std::optional<std::string> URLEncodedString(std::string_view text);

// The query parameters of a URL: the part after the first "?", split by "&", each piece split by
// "="; only pieces with exactly one "=" count, a later key replaces an earlier one. An object of
// texts in the order keys first appear; empty when there is no "?".
platform::Json paramsOfUrl(std::string_view url);
// The same parsing applied to the whole text (a query without the URL).
platform::Json paramsOfUrlParams(std::string_view query);
// The part before the first "?" (the whole text when there is none).
std::string URLStringWithoutQuery(std::string_view url);

// url + ("&" when the URL's last path component contains "?", else "?") + key "=" value.
// Nothing is escaped.
std::string urlAppendValue(std::string_view url, std::string_view value, std::string_view key);
// The URL unchanged for an empty (or non-object) dictionary; else the URL, "&" or "?" as above
// and the pairs key "=" value joined by "&" in the object's order (values that are not texts in
// their text form; null values skipped). Nothing is escaped.
std::string urlAppendKeyValues(std::string_view url, const platform::Json& pairs);
// key=value pairs joined by "&" for the entries whose value is a text, key and value each
// escaped like URLEncodedString (entries that cannot be escaped are skipped).
std::string URLParamstringWithDictionary(const platform::Json& dictionary);

}  // namespace nvx::text
