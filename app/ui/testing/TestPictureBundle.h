// Test-only: a bundle folder holding a copy of the application's resources and, for every
// picture name given that the resources lack, a one-pixel stand-in picture of that name. The
// bundle points there while the object lives, so that views built from pictures show them by
// name (and picture animations have frames to play) whatever the resources hold today.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Sandbox.h"

namespace nvx::testing {

class TestPictureBundle {
 public:
  explicit TestPictureBundle(const std::vector<std::string>& pictures)
      : previous_(platform::Sandbox::bundle()), folder_(platform::Sandbox::makeTempRoot("nvx-pictures")) {
    for (const auto& name : platform::fs::list(previous_, true)) {
      if (!platform::fs::isDirectory(previous_ / name)) platform::fs::copyEntry(previous_ / name, folder_ / name);
    }
    platform::Sandbox::setBundle(folder_);
    for (const auto& name : pictures) {
      if (platform::Bundle::main().picture(name)) continue;
      platform::fs::append(folder_ / "test-pictures" / name, onePixelPng());
    }
  }
  ~TestPictureBundle() {
    platform::Sandbox::setBundle(previous_);
    platform::fs::removeTree(folder_);
  }
  TestPictureBundle(const TestPictureBundle&) = delete;
  TestPictureBundle& operator=(const TestPictureBundle&) = delete;

 private:
  // A 1 x 1 transparent RGBA PNG.
  static std::string_view onePixelPng() {
    static constexpr char kBytes[] =
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01"
        "\x08\x06\x00\x00\x00\x1f\x15\xc4\x89\x00\x00\x00\x0b\x49\x44\x41\x54\x78\xda\x63\x60\x00\x02\x00"
        "\x00\x05\x00\x01\xe9\xfa\xdc\xd8\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
    return std::string_view(kBytes, sizeof kBytes - 1);
  }

  platform::Path previous_;
  platform::Path folder_;
};

}  // namespace nvx::testing
