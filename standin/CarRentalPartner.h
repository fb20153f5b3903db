// The car-rental partner's mobile site, served by a PageStandin. Its start page
// "/html5/indexNvx.html" reads the visitor from the "mobile" query field: Base64 text of the
// login name enciphered with three-key Triple DES (ECB, PKCS#7) under the key agreed with the
// client, deciphered here with OpenSSL. The page greets the login name it read (or says that
// it could not) and offers links of the client's own scheme: close the page ("0"), the service's
// site ("1") and a call to the partner's booking line ("2"), and a plain link to its car list.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standin/PageStandin.h"

namespace standin {

class CarRentalPartner {
 public:
  static constexpr std::string_view kIndexPath = "/html5/indexNvx.html";
  static constexpr std::string_view kCarsPath = "/html5/cars.html";
  static constexpr std::string_view kKey = "Nvx7cR2tQm9LpZ4wKs8hYd3F";
  // The number the call link hands the client.
  static constexpr std::string_view kBookingLine = "4006-123-789";
  static constexpr std::string_view kUnreadable = "无法识别用户";

  // Adds the partner's pages to pages.
  explicit CarRentalPartner(PageStandin& pages);

  // The login names read from the start page's requests, in order (nothing for one that could
  // not be deciphered).
  std::vector<std::optional<std::string>> visitors() const;

  // The partner's own reading of the "mobile" field (decoded from the query).
  static std::optional<std::string> decipher(std::string_view base64);
  // The client-scheme link of a type, with its parameters percent-escaped as the partner's
  // pages write them.
  static std::string ownSchemeLink(std::string_view jsonParams);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace standin
