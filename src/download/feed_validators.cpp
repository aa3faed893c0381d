#include "download/feed_validators.h"

#include <set>

#include "util/file_io.h"

namespace vorlin {

namespace {

bool Clean(std::string_view value) {
  for (const char c : value) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

}  // namespace

std::string ValidatorFileName(std::string_view listFile) {
  return std::string(listFile) + ".validators";
}

ValidatorMap ParseValidators(std::string_view text) {
  ValidatorMap validators;
  for (const std::string& line : SplitLines(text)) {
    const size_t first = line.find('\t');
    if (first == std::string::npos || first == 0) continue;
    const size_t second = line.find('\t', first + 1);
    if (second == std::string::npos || line.find('\t', second + 1) != std::string::npos) continue;
    Validators v{line.substr(first + 1, second - first - 1), line.substr(second + 1)};
    if (!v.Empty()) validators[line.substr(0, first)] = std::move(v);
  }
  return validators;
}

std::string FormatValidators(const ValidatorMap& validators) {
  std::string text;
  for (const auto& [url, v] : validators) {
    if (url.empty() || v.Empty() || !Clean(url) || !Clean(v.etag) || !Clean(v.lastModified)) {
      continue;
    }
    text += url + '\t' + v.etag + '\t' + v.lastModified + "\r\n";
  }
  return text;
}

ValidatorMap LoadValidators(std::string_view listFile) {
  const std::string name = ValidatorFileName(listFile);
  try {
    if (FileExists(name)) return ParseValidators(ReadWholeFile(name));
  } catch (const Error&) {
  }
  return {};
}

void SaveValidators(std::string_view listFile, const ValidatorMap& validators,
                    const DownloadGrid& grid) {
  std::set<std::string> urls;
  for (int row = 1; row < grid.RowCount(); ++row) urls.insert(grid.rows[row][kColUrl]);
  ValidatorMap kept;
  for (const auto& [url, v] : validators) {
    if (urls.count(url) != 0) kept.emplace(url, v);
  }
  const std::string name = ValidatorFileName(listFile);
  const std::string text = FormatValidators(kept);
  if (text.empty() && !FileExists(name)) return;
  WriteFileAtomic(name, text);
}

}  // namespace vorlin
