// The headless client: launches NVXAppDelegate on the real clock and runs the main run loop.
// Home folder: NVX_HOME, else a folder under the user's data directory.
#include <cstdlib>
#include <filesystem>

#include "client/ClientMain.h"
#include "platform/foundation/RunLoop.h"

int main(int argc, char** argv) {
  std::filesystem::path home;
  if (const char* h = std::getenv("NVX_HOME"); h && *h) {
    home = h;
  } else if (const char* user = std::getenv("HOME"); user && *user) {
    home = std::filesystem::path(user) / ".local/share/nuvexa";
  } else {
    home = "nuvexa-home";
  }
  nvx::startClient(home);
  platform::RunLoop::main().run();
  return 0;
}
