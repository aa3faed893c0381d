// The persistent options of the main window: the keys of OpsRss.txt, each the name of a
// control, a full stop and a property, in the order the file is written.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

enum class ValueForm { kText, kInteger, kFlag, kColor, kFont };

// When a value read from the file reaches its control: always (a missing text key empties the
// control), only when present and not empty, or never (written for other programs only).
enum class ApplyRule { kAlways, kIfNotEmpty, kNever };

struct SettingKey {
  const char* key;  // "Control.Property"
  ValueForm form;
  ApplyRule rule;
};

inline constexpr int kSettingKeyCount = 56;

// In write order.
const std::array<SettingKey, kSettingKeyCount>& SettingKeys();

// The keys in the order they are applied at start-up; keys that are never read are left out.
const std::vector<SettingKey>& SettingApplyOrder();

// Splits "Control.Property".
std::string_view ControlOfKey(std::string_view key);
std::string_view PropertyOfKey(std::string_view key);

// The number a numeric, flag or colour value holds; nullopt when it is not a decimal integer,
// in which case the control keeps its default.
std::optional<long long> SettingNumber(std::string_view value);

// Where the settings files live: the program folder when it can be written, else
// $XDG_CONFIG_HOME/vorlin/ (default ~/.config/vorlin/), created when missing. Names are
// Windows-1251 and end in "/".
std::string SettingsFolder(std::string_view programFolder);

}  // namespace vorlin
