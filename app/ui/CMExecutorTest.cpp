#include "app/ui/CMExecutor.h"

#include <gtest/gtest.h>

#include <string>

namespace nvx {
namespace {

struct Counter {
  void tick() { ++ticks; }
  void add(int n) { total += n; }
  void name(const std::string& text) { names += text; }
  void all(const CMExecutor::Arguments& args) { total += static_cast<int>(args.size()); }
  int ticks = 0;
  int total = 0;
  std::string names;
};

struct Other {
  void tick() { ++ticks; }
  int ticks = 0;
};

TEST(CMExecutor, PerformsTheTargetsOperation) {
  auto counter = std::make_shared<Counter>();
  auto tick = CMExecutor::initWithTarget(counter, &Counter::tick);
  EXPECT_TRUE(tick->canPerform());
  EXPECT_TRUE(tick->perform());
  // An operation without arguments ignores the ones given.
  EXPECT_TRUE(tick->performWithObject(5));
  EXPECT_EQ(counter->ticks, 2);

  auto add = CMExecutor::initWithTarget(counter, &Counter::add);
  EXPECT_TRUE(add->performWithObject(5));
  EXPECT_EQ(counter->total, 5);
  auto name = CMExecutor::initWithTarget(counter, &Counter::name);
  EXPECT_TRUE(name->performWithObject(std::string("诺维萨")));
  EXPECT_EQ(counter->names, "诺维萨");
  auto all = CMExecutor::initWithTarget(counter, &Counter::all);
  EXPECT_TRUE(all->performWithObjects({1, std::string("a"), 2.5}));
  EXPECT_EQ(counter->total, 8);

  auto lambda = CMExecutor::initWithTarget(
      counter, CMExecutor::Action::of<Counter>([](Counter& c, const CMExecutor::Arguments& args) {
        c.total += 100 * static_cast<int>(args.size());
      }));
  EXPECT_TRUE(lambda->performWithObjects({1, 2}));
  EXPECT_EQ(counter->total, 208);
}

TEST(CMExecutor, DoesNothingWhenTheTargetCannotTakeTheCall) {
  auto counter = std::make_shared<Counter>();
  struct Case {
    const char* what;
    std::shared_ptr<CMExecutor> executor;
    std::function<bool(CMExecutor&)> call;
  };
  const Case cases[] = {
      {"no target", CMExecutor::initWithTarget({}, &Counter::tick), [](CMExecutor& e) { return e.perform(); }},
      {"no operation", CMExecutor::initWithTarget(counter, {}), [](CMExecutor& e) { return e.perform(); }},
      {"another class's operation", CMExecutor::initWithTarget(counter, &Other::tick),
       [](CMExecutor& e) { return e.perform(); }},
      {"missing argument", CMExecutor::initWithTarget(counter, &Counter::add),
       [](CMExecutor& e) { return e.perform(); }},
      {"argument of another type", CMExecutor::initWithTarget(counter, &Counter::add),
       [](CMExecutor& e) { return e.performWithObject(std::string("5")); }},
      {"too many arguments", CMExecutor::initWithTarget(counter, &Counter::add),
       [](CMExecutor& e) { return e.performWithObjects({1, 2}); }},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.call(*c.executor)) << c.what;
  }
  EXPECT_EQ(counter->ticks, 0);
  EXPECT_EQ(counter->total, 0);
}

TEST(CMExecutor, TargetIsNotOwned) {
  auto counter = std::make_shared<Counter>();
  std::weak_ptr<Counter> watch = counter;
  auto executor = CMExecutor::initWithTarget(counter, &Counter::tick);
  counter.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_FALSE(executor->canPerform());
  EXPECT_FALSE(executor->perform());

  // A new target and action make it usable again.
  auto other = std::make_shared<Other>();
  executor->setPerformer(other);
  EXPECT_FALSE(executor->perform());   // still Counter's operation
  executor->setAction(&Other::tick);
  EXPECT_TRUE(executor->perform());
  EXPECT_EQ(other->ticks, 1);
  EXPECT_EQ(executor->performer().type(), typeid(Other));
  EXPECT_TRUE(static_cast<bool>(executor->action()));
}

}  // namespace
}  // namespace nvx
