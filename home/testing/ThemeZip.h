// Test-only: zip packages made at test time with minizip, and pictures of the bundle as bytes.
#pragma once
#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/Sandbox.h"

namespace nvx::testing {

// The bytes of a bundle picture ("add.png" is 30 x 30 points, "top_bg.png" 320 x 44).
inline std::string bundlePicture(const std::string& name) {
  auto bytes = platform::fs::read(platform::Sandbox::bundle() / "pictures" / name);
  EXPECT_TRUE(bytes) << name;
  return bytes.value_or("");
}

// A zip archive of the entries (name, bytes), deflated; a name ending in "/" is a folder.
inline std::string zipOf(const std::vector<std::pair<std::string, std::string>>& entries) {
  const platform::Path path = platform::Sandbox::documents() / "made-for-test.zip";
  platform::fs::removeTree(path);
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  EXPECT_NE(zip, nullptr);
  if (!zip) return {};
  for (const auto& [name, bytes] : entries) {
    zip_fileinfo info{};
    const bool folder = !name.empty() && name.back() == '/';
    info.external_fa = static_cast<uLong>(folder ? 040755u : 0100644u) << 16;
    EXPECT_EQ(zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, folder ? 0 : Z_DEFLATED,
                                    Z_DEFAULT_COMPRESSION, 0),
              ZIP_OK);
    if (!bytes.empty()) {
      EXPECT_EQ(zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())), ZIP_OK);
    }
    EXPECT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  EXPECT_EQ(zipClose(zip, nullptr), ZIP_OK);
  auto bytes = platform::fs::read(path);
  platform::fs::removeTree(path);
  return bytes.value_or("");
}

}  // namespace nvx::testing
