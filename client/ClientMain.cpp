#include "client/ClientMain.h"

#include "client/NVXAppDelegate.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Sandbox.h"

namespace nvx {

std::shared_ptr<NVXAppDelegate> startClient(const std::filesystem::path& home,
                                            const platform::ui::LaunchOptions& options) {
  platform::ignoreSigpipe();
  platform::Sandbox::init(home);
  auto delegate = std::make_shared<NVXAppDelegate>();
  platform::ui::Application::shared().setDelegate(delegate);
  platform::ui::LifecycleDriver::launch(options);
  return delegate;
}

}  // namespace nvx
