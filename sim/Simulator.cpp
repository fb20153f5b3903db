#include "sim/Simulator.h"

#include <charconv>
#include <istream>
#include <ostream>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"

namespace nvx::sim {
namespace {

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

}  // namespace

void Simulator::fail(const std::string& message) {
  ++failures_;
  out_ << "! " << message << "\n";
}

bool Simulator::perform(const std::string& raw) {
  const std::string line = trimmed(raw);
  if (line.empty() || line[0] == '#') return true;
  out_ << "> " << line << "\n";

  const auto space = line.find(' ');
  const std::string verb = line.substr(0, space);
  const std::string arg = space == std::string::npos ? std::string() : trimmed(line.substr(space + 1));
  platform::ui::Inspector inspector;
  auto& loop = platform::RunLoop::main();

  if (verb == "quit") return false;
  if (verb == "show") {
    loop.runUntilIdle();
    out_ << inspector.render();
    return true;
  }
  if (verb == "wait") {
    double seconds = 0;
    const auto* end = arg.data() + arg.size();
    auto [ptr, ec] = std::from_chars(arg.data(), end, seconds);
    if (ec != std::errc() || ptr != end || seconds < 0) {
      fail("wait takes a number of seconds: " + arg);
      return true;
    }
    loop.advance(seconds);
    return true;
  }
  if (verb == "tap" || verb == "alert") {
    if (arg.empty()) {
      fail(verb + " needs a title");
      return true;
    }
    loop.runUntilIdle();
    const platform::Status status = verb == "tap" ? inspector.tap(arg) : inspector.answerAlert(arg);
    if (!status) fail(status.message());
    loop.runUntilIdle();
    return true;
  }
  fail("unknown action: " + verb);
  return true;
}

int Simulator::run(std::istream& in) {
  std::string line;
  while (std::getline(in, line)) {
    if (!perform(line)) break;
  }
  return failures_;
}

}  // namespace nvx::sim
