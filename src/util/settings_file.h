// Small settings files of the form "Key=value", one per line, CR LF (OpsRss.txt,
// OpsUSelMes.txt). Lookup takes the first line whose text before its first "=" equals the key,
// compared without regard to letter case; the value runs to the end of the line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorlin {

class SettingsFile {
 public:
  // Reads the file; a missing file gives no entries. Throws Error when it cannot be read.
  static SettingsFile Load(std::string_view fileName);

  std::optional<std::string> Get(std::string_view key) const;
  // The value as a decimal integer (optionally negative); nullopt when missing, empty or not
  // a number.
  std::optional<long long> GetInt(std::string_view key) const;
  // A flag: any non-zero integer is checked.
  std::optional<bool> GetFlag(std::string_view key) const;

  // Appends a line (the order of Set calls is the order written).
  void Set(std::string key, std::string value);
  // Writes every line through a temporary file renamed over the old one.
  void Save(std::string_view fileName) const;

  const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

// Parses a whole decimal integer, optionally negative.
std::optional<long long> ParseInteger(std::string_view text);

// The program folder with its trailing "/": `configDir` when given, else the folder of the
// running executable.
std::string ProgramFolder(std::string_view configDir);

}  // namespace vorlin
