#include "app/ui/NavigationControllerExt.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using platform::ui::NavigationController;
using platform::ui::ViewController;

struct Plain : ViewController {
  std::string className() const override { return "Plain"; }
};
struct Business : ViewController {
  std::string className() const override { return "Business"; }
};
struct SpecialBusiness : Business {
  std::string className() const override { return "SpecialBusiness"; }
};
struct Receipt : ViewController {
  std::string className() const override { return "Receipt"; }
};

class PopToClassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::make_shared<Plain>();
    special_ = std::make_shared<SpecialBusiness>();
    business_ = std::make_shared<Business>();
    receipt_ = std::make_shared<Receipt>();
    nav_ = NavigationController::create(root_);
    nav_->setViewControllers({root_, special_, business_, receipt_}, false);
  }
  std::shared_ptr<NavigationController> nav_;
  std::shared_ptr<ViewController> root_, special_, business_, receipt_;
};

TEST_F(PopToClassTest, PopsToTheFirstScreenOfTheClassFromTheRoot) {
  // A derived screen nearer the root wins over the exact class nearer the top.
  EXPECT_TRUE(popToViewControllerWithClass<Business>(*nav_, true));
  EXPECT_EQ(nav_->stack(), (std::vector<std::shared_ptr<ViewController>>{root_, special_}));
  EXPECT_TRUE(nav_->lastTransitionAnimated());
}

TEST_F(PopToClassTest, TopScreenOfTheClassPopsNothing) {
  EXPECT_TRUE(popToViewControllerWithClass<Receipt>(*nav_, false));
  EXPECT_EQ(nav_->stack().size(), 4u);
  EXPECT_TRUE(popToViewControllerWithClass<ViewController>(*nav_, false));   // the root is one
  EXPECT_EQ(nav_->stack(), (std::vector<std::shared_ptr<ViewController>>{root_}));
}

TEST_F(PopToClassTest, NoScreenOfTheClass) {
  struct Absent : ViewController {
    std::string className() const override { return "Absent"; }
  };
  EXPECT_FALSE(popToViewControllerWithClass<Absent>(*nav_, true));
  EXPECT_EQ(nav_->stack().size(), 4u);
}

}  // namespace
}  // namespace nvx
