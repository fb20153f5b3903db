// nvx-sim's interpreter: reads a user's actions line by line and performs them on the running
// client through the Inspector, printing what the screen shows.
//
//   tap <text>        tap the button with that title
//   alert <button>    answer the top alert with that button
//   wait <seconds>    let the client run for that long
//   show              print the screen as text
//   quit              stop
// Blank lines and lines starting with "#" are skipped.
#pragma once
#include <iosfwd>
#include <string>

namespace nvx::sim {

class Simulator {
 public:
  explicit Simulator(std::ostream& out) : out_(out) {}

  // Performs one line; false once the session should end.
  bool perform(const std::string& line);
  // Performs every line of in until quit or the end. Returns the count of failed actions.
  int run(std::istream& in);
  int failures() const { return failures_; }

 private:
  void fail(const std::string& message);

  std::ostream& out_;
  int failures_ = 0;
};

}  // namespace nvx::sim
