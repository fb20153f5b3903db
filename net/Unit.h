// One reader model of the server's model list ("getUnitListNew"): five texts kept as received.
// A key missing from the reply (or not a text) leaves its field absent.
#pragma once
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class Unit {
 public:
  Unit() = default;
  // Reads "platType", "unitid", "unitname", "unitdesc" and "state"; anything but an object gives
  // a model with every field absent.
  static Unit initWithJson(const platform::Json& json);

  // The model id ("0001" ...).
  const std::optional<std::string>& unitid() const { return unitid_; }
  void setUnitid(std::optional<std::string> v) { unitid_ = std::move(v); }
  // The name shown in the model chooser.
  const std::optional<std::string>& unitname() const { return unitname_; }
  void setUnitname(std::optional<std::string> v) { unitname_ = std::move(v); }
  const std::optional<std::string>& unitdesc() const { return unitdesc_; }
  void setUnitdesc(std::optional<std::string> v) { unitdesc_ = std::move(v); }
  const std::optional<std::string>& platType() const { return platType_; }
  void setPlatType(std::optional<std::string> v) { platType_ = std::move(v); }
  const std::optional<std::string>& state() const { return state_; }
  void setState(std::optional<std::string> v) { state_ = std::move(v); }

 private:
  std::optional<std::string> unitid_;
  std::optional<std::string> unitname_;
  std::optional<std::string> unitdesc_;
  std::optional<std::string> platType_;
  std::optional<std::string> state_;
};

}  // namespace nvx
