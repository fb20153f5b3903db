#include "app/ui/ApplicationExt.h"

#include <gtest/gtest.h>

#include "platform/device/UrlOpener.h"

namespace nvx {
namespace {

TEST(ApplicationExt, OpenScheme) {
  auto& opener = platform::UrlOpener::shared();
  opener.setOpenable("nvxbank", true);
  struct Case {
    const char* scheme;
    std::string msg;
    bool opened;
    const char* url;
  };
  const Case cases[] = {
      {"nvxbank", "", true, "nvxbank://"},
      {"nvxbank", "retCode=0000&orderId=A 1", true, "nvxbank://retCode=0000&orderId=A%201"},
      {"nvxbank", "msg=支付成功", true, "nvxbank://msg=%E6%94%AF%E4%BB%98%E6%88%90%E5%8A%9F"},
      {"NVXBANK", "x", true, "NVXBANK://x"},
      {"otherapp", "x", false, nullptr},
      {"", "x", false, nullptr},
      {"nvxbank", std::string("bad\xff"), false, nullptr},
  };
  for (const auto& c : cases) {
    const auto before = opener.opened().size();
    EXPECT_EQ(ApplicationExt::openScheme(c.scheme, c.msg), c.opened) << c.scheme << " " << c.msg;
    const auto opened = opener.opened();
    if (c.url) {
      ASSERT_EQ(opened.size(), before + 1) << c.msg;
      EXPECT_EQ(opened.back(), c.url);
    } else {
      EXPECT_EQ(opened.size(), before) << c.msg;
    }
  }
  EXPECT_FALSE(ApplicationExt::openDefaultTargetAppWithMsg("retCode=0000"));
}

}  // namespace
}  // namespace nvx
