#include "app/ui/BankLogoUtil.h"

#include <gtest/gtest.h>

#include "net/ServerConfig.h"

namespace nvx {
namespace {

TEST(BankLogoUtilTest, PicturesByTheBanksNameAsTheServerShowsIt) {
  struct Case {
    std::optional<std::string_view> name;
    std::optional<std::string> picture;
  };
  const Case cases[] = {
      {"光大银行", "zhongguoguangdayinxing.png"},
      {"中国光大银行", "zhongguoguangdayinxing.png"},
      {"邮政储蓄银行", "zhongguoyouzhengchuxuyinxing.png"},
      // The short and the full name of this bank have different pictures.
      {"工商银行", "gongshangyinxing.png"},
      {"中国工商银行", "zhongguogongshangyinxing.png"},
      {"浦发银行", "pufayinhang.png"},
      {"浦东发展银行", "pudongfazhanyinxing.png"},
      // Names and pictures exactly as the table writes them.
      {"花期银行", "huaqiyinxing.png"},
      {"成都农商银行", "chengdongnongshangyinxing.png"},
      {"重庆银行", "zhongqingyinxing.png"},
      {"台州银行", "taizhouyinhang.png"},
      // Banks with two pictures end on the later one.
      {"平安银行", "pinganyinhang.png"},
      {"广发银行", "guangfayinhang.png"},
      {"深圳发展银行", "shenzhenfazhanyinhang.png"},
      // No name; names the table does not hold (no trimming, no partial match).
      {std::nullopt, ""},
      {"", std::nullopt},
      {"花旗银行", std::nullopt},
      {"光大银行 ", std::nullopt},
      {"中国", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BankLogoUtil::getImageName(c.name), c.picture) << c.name.value_or("(none)");
  }
}

TEST(BankLogoUtilTest, LogoAddressUsesTheMainApiHost) {
  ServerConfig::current().setMainApiBase("https://api.nuvexa.test:8443/iphone/");
  EXPECT_EQ(BankLogoUtil::bankImageUrlWithbankCode("0102"), "https://api.nuvexa.test:8443/images/bank/0102.png");
  ServerConfig::current().setMainApiBase("http://10.0.0.7/iphone");
  EXPECT_EQ(BankLogoUtil::bankImageUrlWithbankCode("CMB"), "https://10.0.0.7/images/bank/CMB.png");
}

}  // namespace
}  // namespace nvx
