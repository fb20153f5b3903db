#include "app/ui/CMExecutor.h"

#include "platform/foundation/Log.h"

namespace nvx {

CMExecutor::~CMExecutor() {
  performer_ = Target();
  action_ = Action();
}

std::shared_ptr<CMExecutor> CMExecutor::initWithTarget(Target target, Action action) {
  return std::make_shared<CMExecutor>(std::move(target), std::move(action));
}

bool CMExecutor::canPerform() const { return !performer_.expired() && action_.isOperationOf(performer_.type()); }

bool CMExecutor::perform() { return call({}); }

bool CMExecutor::performWithObject(std::any object) { return call(Arguments{std::move(object)}); }

bool CMExecutor::performWithObjects(Arguments objects) { return call(objects); }

bool CMExecutor::call(const Arguments& args) {
  auto target = performer_.lock();
  if (!target || !action_.isOperationOf(performer_.type())) return false;
  // Kept alive by `target` while the operation runs, even if it drops the executor.
  auto action = action_.call_;
  if (action(target.get(), args)) return true;
  platform::log::warning("CMExecutor", "the target's operation does not take these arguments; nothing done");
  return false;
}

}  // namespace nvx
