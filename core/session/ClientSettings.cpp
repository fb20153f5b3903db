#include "core/session/ClientSettings.h"

#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {
namespace {

constexpr std::string_view kLogTag = "ClientSettings";

// The settings of the run, loaded when first asked for.
struct CurrentClientSettings {
  ClientSettings settings;

  CurrentClientSettings() {
    auto loaded = ClientSettings::load(platform::Sandbox::bundle() / ClientSettings::kFileName);
    if (loaded) {
      settings = std::move(loaded.value());
    } else {
      platform::log::error(kLogTag, loaded.error());
    }
  }
};

platform::Status entryError(std::string_view key, std::string_view problem) {
  return platform::Status::error(std::string(ClientSettings::kFileName) + ": \"" +
                                 std::string(key) + "\" " + std::string(problem));
}

// Reads a text entry of at least minimumSize bytes. Error messages never carry the value.
platform::Status readText(const platform::Json& value, std::string_view key, size_t minimumSize,
                          std::string& into) {
  if (!value.is_string()) return entryError(key, "must be a text");
  const auto& text = value.get_ref<const std::string&>();
  if (text.size() < minimumSize) return entryError(key, "is too short");
  into = text;
  return platform::Status::success();
}

platform::Status readMember(const platform::Json& object, std::string_view key,
                            size_t minimumSize, std::string& into) {
  const platform::Json* value = platform::json::member(object, key);
  if (value == nullptr) return entryError(key, "is missing");
  return readText(*value, key, minimumSize, into);
}

}  // namespace

const ClientSettings& ClientSettings::current() {
  return platform::Process::current().shared<CurrentClientSettings>().settings;
}

platform::Result<ClientSettings> ClientSettings::load(const platform::Path& file) {
  auto text = platform::fs::read(file);
  if (!text) {
    return platform::Status::error(std::string(kFileName) + " cannot be read from " +
                                   file.string());
  }
  return parse(*text);
}

platform::Result<ClientSettings> ClientSettings::parse(std::string_view jsonText) {
  auto json = platform::json::parse(jsonText);
  if (!json || !json->is_object()) {
    return platform::Status::error(std::string(kFileName) + " is not a JSON object");
  }
  ClientSettings settings;
  // A PEM block of a public key is never shorter than its two armour lines.
  constexpr size_t kPemMinimum = 50;
  if (auto s = readMember(*json, "passwordPublicKey", kPemMinimum, settings.passwordPublicKey_);
      !s) {
    return s;
  }
  if (auto s = readMember(*json, "pinPublicKey", kPemMinimum, settings.pinPublicKey_); !s) return s;
  if (auto s = readMember(*json, "probeKey", 24, settings.probeKey_); !s) return s;
  if (auto s = readMember(*json, "vercodeSalt", 1, settings.vercodeSalt_); !s) return s;
  // The cipher takes 16 key bytes; a shorter key would be padded with zeros.
  if (auto s = readMember(*json, "lotteryCodecKey", 16, settings.lotteryCodecKey_); !s) return s;
  if (auto s = readMember(*json, "lotterySalt", 1, settings.lotterySalt_); !s) return s;

  constexpr std::string_view kParts = "transportKeyParts";
  const platform::Json* parts = platform::json::member(*json, kParts);
  if (parts == nullptr || !parts->is_array() || parts->size() != 2) {
    return entryError(kParts, "must be a list of two texts");
  }
  for (size_t i = 0; i < 2; ++i) {
    if (auto s = readText((*parts)[i], kParts, 1, settings.transportKeyParts_[i]); !s) return s;
  }
  return settings;
}

}  // namespace nvx
