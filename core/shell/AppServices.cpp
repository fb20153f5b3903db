#include "core/shell/AppServices.h"

#include "platform/foundation/Process.h"

namespace nvx {
namespace {

struct InstalledServices {
  std::shared_ptr<AppServices> services = std::make_shared<AppServices>();
};

}  // namespace

AppServices& AppServices::current() {
  return *platform::Process::current().shared<InstalledServices>().services;
}

void AppServices::install(std::shared_ptr<AppServices> services) {
  auto& slot = platform::Process::current().shared<InstalledServices>().services;
  slot = services ? std::move(services) : std::make_shared<AppServices>();
}

}  // namespace nvx
