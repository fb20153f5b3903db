// The clauses of the service agreement: the application resource "NVXService.plist", a property
// list whose root is a dictionary from clause titles ("1. ...", "2. ...", numbered from 1) to
// clause texts. Only that subset of property lists is read: <plist><dict> with <key> and
// <string> entries; entries of other types are skipped.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace nvx {

class ServiceAgreement {
 public:
  static constexpr std::string_view kResourceName = "NVXService";
  static constexpr std::string_view kResourceType = "plist";

  // The clauses by title; empty when the resource is missing or unreadable.
  static std::map<std::string, std::string> clauses();
  // The text of the clause with that title; nothing when there is none.
  static std::optional<std::string> clause(std::string_view title);

  // The string entries of a property list whose root is a dictionary (a later key replaces an
  // earlier one); nothing for anything else (not XML, another root). No DTD, entity or network
  // access: a reference to an entity the document declares reads as nothing.
  static std::optional<std::map<std::string, std::string>> parseStringDictionary(std::string_view xml);
};

}  // namespace nvx
