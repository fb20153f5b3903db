#include "core/crypto/Digest.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

TEST(DigestTest, Md5Rfc1321Vectors) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, digest] : cases) EXPECT_EQ(md5Hex(text), digest) << text;
}

}  // namespace
}  // namespace nvx
