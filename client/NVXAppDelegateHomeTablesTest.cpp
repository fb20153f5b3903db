// The home tables as the application services give them to the receipt's way back: a business
// code's screen class and the title of the box that opens a screen class.
#include <gtest/gtest.h>

#include "client/NVXAppDelegate.h"
#include "home/HomeDataUtil.h"

namespace nvx {
namespace {

TEST(NVXAppDelegateHomeTablesTest, BusinessCodeLeadsToItsBoxTitle) {
  auto delegate = std::make_shared<NVXAppDelegate>();
  AppServices& services = *delegate;
  EXPECT_EQ(services.businessClassOfCode("M20020"), "MobileRechargeViewController");
  EXPECT_EQ(services.boxTitleOfScreenClass("MobileRechargeViewController"), HomeDataUtil::title("MobileRecharge"));
  EXPECT_EQ(services.businessClassOfCode("X00000"), std::nullopt);
  EXPECT_EQ(services.boxTitleOfScreenClass("NoSuchViewController"), std::nullopt);
}

}  // namespace
}  // namespace nvx
