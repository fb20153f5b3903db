// nvx-sim: runs the client on the real clock in a home folder (a fresh temporary one unless
// --sandbox names one), beside the stand-ins of its servers and readers, and performs a user's
// actions from a script file or standard input.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "client/ClientMain.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Sandbox.h"
#include "sim/SimStandins.h"
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
  std::ifstream scriptFile;
  if (!script.empty()) {
    scriptFile.open(script);
    if (!scriptFile) {
      std::cerr << "nvx-sim: cannot read " << script << "\n";
      return 2;
    }
  }

  const bool temporary = sandbox.empty();
  const platform::Path home = temporary ? platform::Sandbox::makeTempRoot("nvx-sim-") : platform::Path(sandbox);
  std::cout << "nvx-sim: home " << home.string() << "\n";
  platform::Sandbox::init(home);

  int status = 0;
  {
    nvx::sim::SimStandins standins;
    if (auto started = standins.start(); !started) {
      std::cerr << "nvx-sim: " << started.message() << "\n";
      status = 2;
    } else {
      std::cout << "nvx-sim: main API " << standins.mainApi().apiBaseAddress() << ", statistics "
                << standins.statistics().statisticsBaseAddress() << ", probe " << standins.probe().probeAddress()
                << ", reader box on the loopback network\n";
      nvx::startClient(home);
      nvx::sim::Simulator simulator(std::cout, &standins);
      const int failures = script.empty() ? simulator.run(std::cin) : simulator.run(scriptFile);
      status = failures == 0 ? 0 : 1;
    }
    std::cout.flush();
  }
  // The client's threads (audio engine, statistics, requests) are stopped and joined, and its
  // files are left complete, before the process ends.
  platform::Process::current().reset(platform::ResetKind::Restart);
  if (temporary) {
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
  }
  return status;
}
