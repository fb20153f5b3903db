#include "sim/Simulator.h"

#include <charconv>
#include <istream>
#include <ostream>

#include "client/WizardView.h"
#include "app/ui/NVXKeyboardView.h"
#include "app/ui/NVXSafeKeyboardView.h"
#include "core/shell/AppServices.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
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

bool isKeypad(const platform::ui::View& v) {
  return dynamic_cast<const NVXKeyboardView*>(&v) != nullptr || dynamic_cast<const NVXSafeKeyboardView*>(&v) != nullptr;
}

// The key of the keypad for one key name: a digit, ".", "00", "done", "delete", "clear", "hide".
std::optional<int> keyTag(const platform::ui::View& keypad, std::string_view key) {
  const bool pin = dynamic_cast<const NVXKeyboardView*>(&keypad) != nullptr;
  if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return key[0] - '0';
  if (key == "delete") return pin ? NVXKeyboardView::kDeleteTag : NVXSafeKeyboardView::kDeleteTag;
  if (pin) {
    if (key == "done") return NVXKeyboardView::kDoneTag;
    return std::nullopt;
  }
  if (key == ".") return NVXSafeKeyboardView::kDotTag;
  if (key == "00") return NVXSafeKeyboardView::kDoubleZeroTag;
  if (key == "clear") return NVXSafeKeyboardView::kClearTag;
  if (key == "hide" || key == "done") return NVXSafeKeyboardView::kHideTag;
  return std::nullopt;
}

// "00", a named key, or a run of digits and points (one key each).
std::vector<std::string> keyNames(const std::string& keys) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < keys.size()) {
    const size_t end = std::min(keys.find(' ', at), keys.size());
    const std::string token = keys.substr(at, end - at);
    at = end + 1;
    if (token.empty()) continue;
    if (token == "00" || token.find_first_not_of("0123456789.") != std::string::npos) {
      out.push_back(token);
    } else {
      for (char c : token) out.emplace_back(1, c);
    }
  }
  return out;
}

// Presses one key of the keypad through the Inspector (a user's tap).
std::string pressKey(platform::ui::Inspector& inspector, platform::ui::View& keypad, const std::string& key) {
  auto tag = keyTag(keypad, key);
  if (!tag) return "the keypad has no key \"" + key + "\"";
  for (const auto& sub : keypad.subviews()) {
    auto button = std::dynamic_pointer_cast<platform::ui::Button>(sub);
    if (!button || button->tag() != *tag) continue;
    if (auto status = inspector.tapControl(*button); !status) return status.message();
    return {};
  }
  return "the keypad has no key \"" + key + "\"";
}

// The text field beside a label: the nearest field on the label's line, to its right.
std::shared_ptr<platform::ui::TextField> fieldBesideLabel(platform::ui::Inspector& inspector, const std::string& text) {
  auto labels = inspector.findAll([&](const platform::ui::View& v) {
    auto label = dynamic_cast<const platform::ui::Label*>(&v);
    return label && (label->text() == text || label->text() == text + ":" || label->text() == text + "：");
  });
  if (labels.size() != 1) return nullptr;
  const platform::ui::Rect at = labels.front()->frameInWindow();
  std::shared_ptr<platform::ui::TextField> best;
  double bestDistance = 0;
  for (const auto& v : inspector.findAll([](const platform::ui::View& v) {
         return dynamic_cast<const platform::ui::TextField*>(&v) != nullptr;
       })) {
    const platform::ui::Rect f = v->frameInWindow();
    if (f.maxY() < at.minY() || f.minY() > at.maxY() || f.minX() < at.minX()) continue;
    const double distance = f.minX() - at.maxX();
    if (!best || distance < bestDistance) {
      best = std::static_pointer_cast<platform::ui::TextField>(v);
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

std::string Simulator::typeInto(const std::string& arg) {
  // "<field> =" alone (the line's end trimmed) types nothing: the field only begins editing.
  const bool nothing = arg.size() > 2 && arg.compare(arg.size() - 2, 2, " =") == 0;
  const auto eq = nothing ? arg.size() - 2 : arg.find(" = ");
  if (eq == std::string::npos) return "type takes <field> = <text>";
  const std::string name = trimmed(arg.substr(0, eq));
  const std::string text = nothing ? std::string() : arg.substr(eq + 3);
  platform::ui::Inspector inspector;
  platform::RunLoop::main().runUntilIdle();
  std::shared_ptr<platform::ui::TextField> field = inspector.fieldByPlaceholder(name);
  if (!field) field = fieldBesideLabel(inspector, name);
  if (!field) return "no text field with the placeholder or label \"" + name + "\"";
  auto input = field->inputView();
  if (!input || !isKeypad(*input)) {
    auto status = inspector.type(*field, text);
    return status ? std::string() : status.message();
  }
  // The client's own keypad: the user taps the field, then the keys.
  if (!field->isEditing()) {
    if (auto status = inspector.tapControl(*field); !status) return status.message();
  }
  platform::RunLoop::main().runUntilIdle();
  for (char c : text) {
    if (auto error = pressKey(inspector, *input, std::string(1, c)); !error.empty()) return error;
    platform::RunLoop::main().runUntilIdle();
  }
  return {};
}

std::string Simulator::press(const std::string& keys) {
  platform::ui::Inspector inspector;
  platform::RunLoop::main().runUntilIdle();
  auto found = inspector.findAll(isKeypad);
  if (found.empty()) return "no keypad of the client is up";
  auto keypad = found.back();
  for (const auto& key : keyNames(keys)) {
    if (auto error = pressKey(inspector, *keypad, key); !error.empty()) return error;
    platform::RunLoop::main().runUntilIdle();
  }
  return {};
}

std::string Simulator::pick(const std::string& title) {
  platform::ui::Inspector inspector;
  platform::RunLoop::main().runUntilIdle();
  auto pickers = inspector.findAll(
      [](const platform::ui::View& v) { return dynamic_cast<const platform::ui::PickerView*>(&v) != nullptr; });
  if (pickers.size() != 1) return pickers.empty() ? "no picker on the screen" : "more than one picker on the screen";
  auto& picker = static_cast<platform::ui::PickerView&>(*pickers.front());
  for (int column = 0; column < picker.numberOfComponents(); ++column) {
    for (int row = 0; row < picker.numberOfRows(column); ++row) {
      if (picker.titleForRow(row, column) != title) continue;
      auto status = inspector.pick(picker, column, row);
      return status ? std::string() : status.message();
    }
  }
  return "the picker has no row \"" + title + "\"";
}

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
  const auto opened = platform::UrlOpener::shared().opened();
  for (; openedSeen_ < opened.size(); ++openedSeen_) out_ << "* the client opened " << opened[openedSeen_] << "\n";
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
  if (verb == "tap" || verb == "alert" || verb == "sheet") {
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
      status = verb == "tap"     ? inspector.tap(arg)
               : verb == "alert" ? inspector.answerAlert(arg)
                                 : inspector.chooseInSheet(arg);
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
  if (verb == "type" || verb == "press" || verb == "pick") {
    if (arg.empty()) {
      fail(verb + " needs an argument");
      return true;
    }
    const std::string error = verb == "type" ? typeInto(arg) : verb == "press" ? press(arg) : pick(arg);
    if (!error.empty()) fail(error);
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
  if (verb == "open" || verb == "installed") {
    if (arg.empty()) {
      fail(verb + " needs " + (verb == "open" ? "a URL" : "a scheme"));
      return true;
    }
    if (verb == "installed") {
      platform::UrlOpener::shared().setOpenable(arg, true);
    } else if (!platform::ui::LifecycleDriver::openURL(arg)) {
      out_ << "* the client did not take the URL\n";
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
