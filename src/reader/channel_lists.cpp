#include "reader/channel_lists.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "reader/folded_search.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

std::vector<std::string> FilterChannels(const std::vector<std::string>& channels,
                                        std::string_view filter) {
  if (filter.empty()) return channels;
  FoldedPattern pattern(filter);
  std::vector<std::string> out;
  for (const std::string& title : channels) {
    if (pattern.OccursIn(title)) out.push_back(title);
  }
  return out;
}

void InsertSorted(std::vector<std::string>& list, std::string title) {
  auto pos = std::upper_bound(list.begin(), list.end(), title,
                              [](const auto& a, const auto& b) { return CompareNoCase(a, b) < 0; });
  list.insert(pos, std::move(title));
}

bool MoveToSelection(std::vector<std::string>& all, std::vector<std::string>& selected, int index) {
  if (index < 0 || index >= static_cast<int>(all.size())) return false;
  selected.push_back(std::move(all[static_cast<size_t>(index)]));
  all.erase(all.begin() + index);
  return true;
}

bool MoveBack(std::vector<std::string>& selected, std::vector<std::string>& all, int index) {
  if (index < 0 || index >= static_cast<int>(selected.size())) return false;
  InsertSorted(all, std::move(selected[static_cast<size_t>(index)]));
  selected.erase(selected.begin() + index);
  return true;
}

std::vector<std::string> ReadGroupFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    const int err = ec ? ec.value() : std::filesystem::is_directory(path, ec) ? EISDIR : EINVAL;
    throw Error("Cannot open favourite group " + path.string() + ": " + ErrnoText(err));
  }
  return ParseGroupFile(ReadWholeFileAt(path));
}

std::filesystem::path GroupFilePath(const std::string& folder, const std::string& fileName) {
  return FsPath(folder) / std::u8string(fileName.begin(), fileName.end());
}

std::vector<std::string> ParseGroupFile(std::string_view bytes) { return SplitLines(bytes); }
std::string FormatGroupFile(const std::vector<std::string>& lines) { return JoinLines(lines); }

void WriteGroupFile(const std::string& fileName, const std::vector<std::string>& lines) {
  WriteFileAtomic(fileName, FormatGroupFile(lines));
}

bool IsGroupFileName(std::string_view name) {
  constexpr std::string_view kExt = ".MYRSS";
  return name.size() > kExt.size() && UpperCase1251(name.substr(name.size() - kExt.size())) == kExt;
}

std::vector<std::string> ListGroupFiles(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.empty()) return names;
  std::error_code ec;
  std::filesystem::directory_iterator it(FsPath(folder), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();  // as on disk
    if (IsGroupFileName(name) && !it->is_directory(ec)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    const int c = CompareNoCase(Utf8ToCp1251(a), Utf8ToCp1251(b));
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

}  // namespace vorlin
