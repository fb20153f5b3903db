#include "account/AccountScreens.h"

#include "account/IdentityCardPhotoViewController.h"
#include "account/IdentityInfoViewController.h"
#include "account/LoginViewController.h"
#include "account/ModifyPasswordViewController.h"
#include "account/RegisterViewController.h"
#include "account/RetrievePasswordViewController.h"
#include "account/SettingListViewController.h"
#include "account/WhiteListViewController.h"
#include "account/UserInfomationViewController.h"
#include "core/shell/ScreenRegistry.h"

namespace nvx::account {

void registerScreens() {
  auto& registry = ScreenRegistry::shared();
  registry.add(LoginViewController::kClassName, [] { return LoginViewController::create(); });
  registry.add(RegisterViewController::kClassName, [] { return RegisterViewController::create(); });
  registry.add(RetrievePasswordViewController::kClassName, [] { return RetrievePasswordViewController::create(); });
  registry.add(IdentityCardPhotoViewController::kClassName, [] { return IdentityCardPhotoViewController::create(); });
  registry.add(IdentityInfoViewController::kClassName, [] { return IdentityInfoViewController::create(); });
  registry.add(UserInfomationViewController::kClassName, [] { return UserInfomationViewController::create(); });
  registry.add(SettingListViewController::kClassName, [] { return SettingListViewController::create(); });
  registry.add(WhiteListViewController::kClassName, [] { return WhiteListViewController::create(); });
  registry.add(ModifyPasswordViewController::kClassName, [] { return ModifyPasswordViewController::create(); });
}

}  // namespace nvx::account
