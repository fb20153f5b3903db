// The home tables as the payment screens reach them through the application services: the
// receipt's way back from a business code to the title of the box that opens its screen.
#include <gtest/gtest.h>

#include "client/NVXAppDelegate.h"

namespace nvx {
namespace {

TEST(NVXAppDelegateHome, TheReceiptFindsTheBoxOfThePaidBusiness) {
  auto delegate = std::make_shared<NVXAppDelegate>();
  AppServices& services = *delegate;
  struct Case {
    std::string busid;
    std::optional<std::string> screenClass;
    std::optional<std::string> title;
  };
  for (const Case& c : {
           Case{"M50001", "CCRepayInputViewController", "信用卡还款"},
           Case{"M20011", "ZhiFubaoRechargeViewController", "支付宝充值码"},
           Case{"M30000", "余额查询", std::nullopt},                  // a label names no screen
           Case{"B00010", "", std::nullopt},
           Case{"800003", "RechargeViewController", std::nullopt},     // no box opens it
           Case{"NOPE", std::nullopt, std::nullopt},
       }) {
    const auto screenClass = services.businessClassOfCode(c.busid);
    EXPECT_EQ(screenClass, c.screenClass) << c.busid;
    EXPECT_EQ(screenClass ? services.boxTitleOfScreenClass(*screenClass) : std::nullopt, c.title) << c.busid;
  }
}

}  // namespace
}  // namespace nvx
