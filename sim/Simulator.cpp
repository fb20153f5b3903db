#include "sim/Simulator.h"

#include <charconv>
#include <istream>
#include <ostream>

#include "client/WizardView.h"
#include "core/shell/AppServices.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "reader/DHSwiperController.h"
#include "sim/SimStandins.h"

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

void Simulator::watch() {
  auto& loop = platform::RunLoop::main();
  // On the virtual clock (tests) socket traffic still takes real time: let it arrive.
  if (platform::virtualClock()) loop.drainIo(std::chrono::milliseconds(5));
  loop.runUntilIdle();
  if (auto hub = AppServices::current().swiper()) {
    const bool present = hub->isTaviPresent();
    if (boxPresent_ != present) {
      if (present || boxPresent_) out_ << (present ? "* Wi-Fi reader box present\n" : "* Wi-Fi reader box gone\n");
      boxPresent_ = present;
    }
  }
  const std::string screen = platform::ui::Inspector().render();
  if (screen == lastScreen_) return;
  lastScreen_ = screen;
  out_ << "= screen\n" << screen;
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
    lastScreen_ = inspector.render();
    out_ << lastScreen_;
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
    // Step by step, so that every screen on the way is seen.
    double left = seconds;
    while (left > 0) {
      const double step = left < kWatchStep ? left : kWatchStep;
      loop.advance(step);
      left -= step;
      watch();
    }
    return true;
  }
  if (verb == "tap" || verb == "alert") {
    if (arg.empty()) {
      fail(verb + " needs a title");
      return true;
    }
    loop.runUntilIdle();
    platform::Status status;
    int tag = 0;
    const bool byTag = verb == "tap" && arg.size() > 1 && arg[0] == '#' &&
                       std::from_chars(arg.data() + 1, arg.data() + arg.size(), tag).ptr == arg.data() + arg.size();
    if (byTag) {
      status = inspector.tapTag(tag);
    } else {
      status = verb == "tap" ? inspector.tap(arg) : inspector.answerAlert(arg);
    }
    if (!status) fail(status.message());
    watch();
    return true;
  }
  if (verb == "guide") {
    loop.runUntilIdle();
    auto guide = inspector.first<WizardView>();
    if (!guide || !guide->startButton()) {
      fail("no first-run guide is shown");
      return true;
    }
    const platform::Status status = inspector.tapControl(*guide->startButton());
    if (!status) fail(status.message());
    watch();
    return true;
  }
  if (verb == "plug" || verb == "unplug" || verb == "swipe") {
    if (!standins_) {
      fail(verb + ": no simulated readers in this session");
      return true;
    }
    if (verb == "plug") {
      const std::string model = arg.empty() ? "0002" : arg;
      if (!standins_->hasReader(model)) {
        fail("no simulated reader of model " + model);
      } else if (!standins_->plugReader(model)) {
        fail("the reader is already plugged");
      }
    } else if (verb == "unplug") {
      if (!standins_->unplugReader()) fail("nothing is plugged");
    } else if (auto status = standins_->swipe(); !status) {
      fail(status.message());
    }
    watch();
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
