// What the request layer shows, done by the screens' module: the window's spinner, the re-login
// alert of the asynchronous road (NVXResponseErrorHandler) and the expired login of the
// synchronous road (the login screen at once, or the re-login alert). The client installs it at
// start; tests of screens that talk to the server install it in their fixtures.
#pragma once

namespace nvx {

// Installs the request layer's UI hooks (NetUiHooks). Main thread.
void installNetUiHooks();

}  // namespace nvx
