#include "core/text/ObjectExt.h"

#include <gtest/gtest.h>

#include <string>

namespace nvx {
namespace {

struct Listener {};
struct WithDelegate {
  void setDelegate(std::weak_ptr<Listener> d) { delegate = std::move(d); }
  std::weak_ptr<Listener> delegate;
};
struct WithoutDelegate {
  int value = 7;
};

TEST(ObjectExtTest, BindDelegateSetsItOnlyWhereThereIsASetter) {
  auto listener = std::make_shared<Listener>();
  auto bound = bindDelegate(std::make_shared<WithDelegate>(), std::weak_ptr<Listener>(listener));
  EXPECT_EQ(bound->delegate.lock(), listener);

  auto plain = bindDelegate(std::make_shared<WithoutDelegate>(), std::weak_ptr<Listener>(listener));
  EXPECT_EQ(plain->value, 7);
  EXPECT_EQ(bindDelegate(std::shared_ptr<WithDelegate>(), std::weak_ptr<Listener>(listener)), nullptr);
}

TEST(ObjectExtTest, PerformSelectorCallsOnlyAnOperationThatExists) {
  std::function<std::string(const std::string&, int)> join = [](const std::string& s, int n) {
    return s + std::to_string(n);
  };
  EXPECT_EQ(performSelector(join, "a", 1), "a1");
  std::function<std::string(const std::string&, int)> missing;
  EXPECT_EQ(performSelector(missing, "a", 1), std::nullopt);

  int calls = 0;
  std::function<void(int)> count = [&calls](int n) { calls += n; };
  performSelector(count, 2);
  performSelector(std::function<void(int)>(), 5);
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace nvx
