#include "client/ClientMain.h"

#include "core/shell/AppServices.h"
#include "core/models/BankCardEntity.h"
#include "core/models/ClientVersionEntity.h"
#include "core/models/FileListEntity.h"
#include "core/models/HomePicEntity.h"
#include "core/session/NVXContext.h"
#include "core/models/ThemeEntity.h"
#include "app/ui/NetUiBridge.h"
#include "app/ui/NavigationBarExt.h"
#include "client/NVXAppDelegate.h"
#include "net/PageResultEntity.h"
#include "net/RequestHook.h"
#include "net/RetStatusEntity.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Sandbox.h"
#include "app/reader/ReaderScreens.h"
#include "home/HomeScreens.h"
#include "account/AccountScreens.h"
#include "pay/MarketingEntity.h"
#include "bills/BillsScreens.h"
#include "pay/PayScreens.h"

namespace nvx {

namespace {

void registerArchiveClasses() {
  ThemeEntity::registerArchiveClass();
  RetStatusEntity::registerArchiveClass();
  PageResultEntity::registerArchiveClass();
  ClientVersionEntity::registerArchiveClass();
  BankCardEntity::registerArchiveClass();
  FileListEntity::registerArchiveClass();
  MarketingEntity::registerArchiveClass();
  HomePicEntity::registerArchiveClass();
}

// Each built module's screens named as text.
void registerModuleScreens() {
  reader::ui::registerScreens();
  account::registerScreens();
  pay::registerScreens();
  home::registerScreens();
  bills::registerScreens();
}

}  // namespace

void installClient(const std::shared_ptr<NVXAppDelegate>& delegate) {
  AppServices::install(delegate);
  installRuntimeHooks();
  RequestHook::install();
  installNetUiHooks();
  registerArchiveClasses();
  NavigationBarExt::installDefaultLook();
  registerModuleScreens();
}

std::shared_ptr<NVXAppDelegate> startClient(const std::filesystem::path& home,
                                            const platform::ui::LaunchOptions& options) {
  platform::ignoreSigpipe();
  platform::Sandbox::init(home);
  auto delegate = std::make_shared<NVXAppDelegate>();
  installClient(delegate);
  platform::ui::Application::shared().setDelegate(delegate);
  platform::ui::LifecycleDriver::launch(options);
  return delegate;
}

}  // namespace nvx
