// nvx-sim: runs the client on the real clock in a home folder (a fresh temporary one unless
// --sandbox names one) and performs a user's actions from a script file or standard input.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "client/ClientMain.h"
#include "platform/foundation/Sandbox.h"
#include "sim/Simulator.h"

namespace {

int usage() {
  std::cerr << "usage: nvx-sim [--sandbox DIR] [--script FILE]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string sandbox;
  std::string script;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--sandbox") == 0 && i + 1 < argc) {
      sandbox = argv[++i];
    } else if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
      script = argv[++i];
    } else {
      return usage();
    }
  }
  const bool temporary = sandbox.empty();
  const platform::Path home = temporary ? platform::Sandbox::makeTempRoot("nvx-sim-") : platform::Path(sandbox);
  std::cout << "nvx-sim: home " << home.string() << "\n";

  nvx::startClient(home);
  nvx::sim::Simulator simulator(std::cout);
  int failures = 0;
  if (script.empty()) {
    failures = simulator.run(std::cin);
  } else {
    std::ifstream in(script);
    if (!in) {
      std::cerr << "nvx-sim: cannot read " << script << "\n";
      return 2;
    }
    failures = simulator.run(in);
  }
  if (temporary) {
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
  }
  return failures == 0 ? 0 : 1;
}
