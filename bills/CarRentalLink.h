// What a link of the car-rental partner's pages asks of the client. The partner's pages talk to
// the client through links of the client's own scheme (any scheme beginning with "nvx"), whose
// text carries, after "params=", a percent-escaped JSON object:
//   {"type":"0"}                                 close the page
//   {"type":"1"}                                 show the service's own web site
//   {"type":"2","params":{"mobile":"<number>"}}  offer to call the number
// Every other link loads as usual. A link of the client's scheme never loads; one without
// parameters, with empty or unreadable ones, an unknown type, or a number that is not a phone
// number is swallowed (the page is not trusted to hand the dialler anything but a number).
#pragma once
#include <string>
#include <string_view>

namespace nvx {

struct CarRentalLink {
  enum class Kind {
    Load,         // not the client's scheme: the page loads
    Ignore,       // the client's scheme, nothing to do
    Close,        // "0"
    ServiceSite,  // "1"
    Call,         // "2": mobile is the number to dial
  };
  // The longest number a page may ask the client to call.
  static constexpr size_t kMaxNumberLength = 20;

  Kind kind = Kind::Load;
  std::string mobile;

  static CarRentalLink read(std::string_view url);
  // Digits, with "+" only at the start and "-" between digits; 3 to kMaxNumberLength characters.
  static bool isDiallable(std::string_view number);
};

}  // namespace nvx
