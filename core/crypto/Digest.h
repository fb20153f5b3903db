// Message digests of the client.
#pragma once
#include <string>
#include <string_view>

namespace nvx {

// MD5 (RFC 1321) of the bytes: the 16 raw digest bytes.
std::string md5Digest(std::string_view bytes);
// The same as 32 lower-case hex digits ("%02x" per byte).
std::string md5Hex(std::string_view bytes);

}  // namespace nvx
