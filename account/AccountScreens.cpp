#include "account/AccountScreens.h"

#include "account/LoginViewController.h"
#include "account/ModifyPasswordViewController.h"
#include "account/RegisterViewController.h"
#include "account/RetrievePasswordViewController.h"
#include "core/shell/ScreenRegistry.h"

namespace nvx::account {

void registerScreens() {
  auto& registry = ScreenRegistry::shared();
  registry.add(LoginViewController::kClassName, [] { return LoginViewController::create(); });
  registry.add(RegisterViewController::kClassName, [] { return RegisterViewController::create(); });
  registry.add(RetrievePasswordViewController::kClassName, [] { return RetrievePasswordViewController::create(); });
  registry.add(ModifyPasswordViewController::kClassName, [] { return ModifyPasswordViewController::create(); });
}

}  // namespace nvx::account
