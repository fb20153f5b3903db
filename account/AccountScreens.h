// The account's screens that other modules open by class name: the login screen (which the
// request layer's error ladder, the reader gate and every protected business open), registration,
// password retrieval and password change. The client registers them at start-up.
#pragma once

namespace nvx::account {

// Adds "LoginViewController", "RegisterViewController", "RetrievePasswordViewController" and
// "ModifyPasswordViewController" to the ScreenRegistry.
void registerScreens();

}  // namespace nvx::account
