#include "util/settings_file.h"

#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

SettingsFile SettingsFile::Load(std::string_view fileName) {
  SettingsFile file;
  if (!FileExists(fileName)) return file;
  for (const std::string& line : SplitLines(ReadWholeFile(fileName))) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      file.entries_.emplace_back(line, std::string());
    } else {
      file.entries_.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
  }
  return file;
}

std::optional<std::string> SettingsFile::Get(std::string_view key) const {
  for (const auto& [k, v] : entries_) {
    if (EqualNoCase(k, key)) return v;
  }
  return std::nullopt;
}

std::optional<long long> ParseInteger(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size() || text.size() - i > 18) return std::nullopt;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    v = v * 10 + (text[i] - '0');
  }
  return negative ? -v : v;
}

std::optional<long long> SettingsFile::GetInt(std::string_view key) const {
  auto v = Get(key);
  if (!v) return std::nullopt;
  return ParseInteger(*v);
}

std::optional<bool> SettingsFile::GetFlag(std::string_view key) const {
  auto v = GetInt(key);
  if (!v) return std::nullopt;
  return *v != 0;
}

void SettingsFile::Set(std::string key, std::string value) {
  entries_.emplace_back(std::move(key), std::move(value));
}

void SettingsFile::Save(std::string_view fileName) const {
  std::string text;
  for (const auto& [k, v] : entries_) {
    text += k;
    text += '=';
    text += v;
    text += "\r\n";
  }
  WriteFileAtomic(fileName, text);
}

std::string ProgramFolder(std::string_view configDir) {
  std::string folder;
  if (!configDir.empty()) {
    folder = std::string(configDir);
  } else {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    folder = ec ? std::string(".") : NameFromPath(exe.parent_path());
  }
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

}  // namespace vorlin
