// nvx-sim's interpreter: reads a user's actions line by line and performs them on the running
// client through the Inspector, printing what the screen shows each time it changes.
//
//   tap <text>        tap the button with that title (a home box by its title)
//   tap #<tag>        tap the control with that tag (the home screen's tabs: #10231 to #10238)
//   alert <button>    answer the top alert with that button
//   guide             close the first-run guide with its start button
//   sheet <button>    choose that button of the action sheet that is up
//   type <field> = <text>
//                     type into the text field with that placeholder, or the one beside the
//                     label with that text ("金额" also finds "金额:" and "金额："); a field that
//                     takes its input from one of the client's own keypads is typed on its keys
//   press <keys>      press keys of the client's keypad that is up (PIN pad, amount pad):
//                     digits and "." one key each ("press 123456"), and the keys named "00",
//                     "done", "delete", "clear" and "hide" ("press 12.5 hide")
//   pick <title>      spin the picker on the screen to the row with that title
//   wait <seconds>    let the client run for that long
//   show              print the screen as text
//   plug [model]      plug a simulated card reader into the headset jack: "0002" (the default),
//                     "0001", or one of "0003" to "0006" (one reader family)
//   unplug            pull it out again
//   swipe             swipe the test card through the reader that waits for one (the plugged
//                     reader, else the Wi-Fi box)
//   open <url>        another app opens the URL with the client
//   installed <scheme>
//                     an app that answers the scheme is installed (the client may open its URLs)
//   quit              stop
// Blank lines and lines starting with "#" are skipped. After every action, and during a wait, a
// screen that looks different from the one printed last is printed ("= screen" before it), and
// the Wi-Fi box coming and going and every URL the client opens are noted ("* ...").
#pragma once
#include <iosfwd>
#include <optional>
#include <string>

namespace nvx::sim {

class SimStandins;

class Simulator {
 public:
  // The hands (plug, unplug, swipe) need the stand-ins; without them those actions fail.
  explicit Simulator(std::ostream& out, SimStandins* standins = nullptr) : out_(out), standins_(standins) {}

  // Performs one line; false once the session should end.
  bool perform(const std::string& line);
  // Performs every line of in until quit or the end. Returns the count of failed actions.
  int run(std::istream& in);
  int failures() const { return failures_; }

  // The step in which a wait watches the screen.
  static constexpr double kWatchStep = 0.1;

 private:
  void fail(const std::string& message);
  // Prints the screen when it differs from the one printed last; notes reader presence changes.
  void watch();
  // The form actions; an empty text when they succeeded, else what went wrong.
  std::string typeInto(const std::string& arg);
  std::string press(const std::string& keys);
  std::string pick(const std::string& title);

  std::ostream& out_;
  SimStandins* standins_;
  int failures_ = 0;
  std::string lastScreen_;
  std::optional<bool> boxPresent_;
  // How many of the URLs the client opened have been noted.
  size_t openedSeen_ = 0;
};

}  // namespace nvx::sim
