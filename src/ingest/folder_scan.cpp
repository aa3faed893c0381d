#include "ingest/folder_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

struct Entry {
  std::string name;  // Windows-1251, for matching, sorting and showing
  std::string raw;   // as on disk (UTF-8), which the code page may not hold
  struct stat st;
};

// The entries of a folder in name order (letter case ignored, then byte order), without "."
// and "..". Each entry carries lstat data, so symbolic links are seen as such.
std::vector<Entry> ListFolder(const std::filesystem::path& folder) {
  std::vector<Entry> entries;
  const std::string dirPath = folder.string();
  DIR* dir = ::opendir(dirPath.c_str());
  if (dir == nullptr) return entries;
  while (dirent* e = ::readdir(dir)) {
    std::string_view raw = e->d_name;
    if (raw == "." || raw == "..") continue;
    Entry entry;
    if (::lstat((dirPath + "/" + e->d_name).c_str(), &entry.st) != 0) continue;
    entry.name = Utf8ToCp1251(raw);
    entry.raw = raw;
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    int c = CompareNoCase(a.name, b.name);
    return c != 0 ? c < 0 : a.raw < b.raw;
  });
  return entries;
}

bool MatchFrom(std::string_view name, std::string_view mask) {
  // Iterative wildcard match with one backtrack point for the last "*".
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() &&
               (mask[m] == '?' || UpperCase1251(mask[m]) == UpperCase1251(name[n]))) {
      ++m;
      ++n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) { return MatchFrom(name, mask); }

void ScanFolderFiles(const std::filesystem::path& folder, std::string_view mask, ScanLists& lists,
                     Progress& progress) {
  for (const Entry& e : ListFolder(folder)) {
    if (e.name[0] == '.' || !MatchesMask(e.name, mask)) continue;
    struct stat st = e.st;
    const std::filesystem::path path = folder / e.raw;
    // A link to a plain file counts as that file; links to anything else are passed over.
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) continue;
    if (!S_ISREG(st.st_mode)) continue;
    lists.sizes.push_back({static_cast<uint64_t>(st.st_size), lists.paths.size()});
    lists.paths.push_back(path);
    progress.ShowStatusText("Scan =" + std::to_string(lists.paths.size()) + "  " +
                            NameFromPath(path));
  }
}

void ScanSubfolders(const std::filesystem::path& folder, std::string_view mask, ScanLists& lists,
                    Progress& progress) {
  for (const Entry& e : ListFolder(folder)) {
    if (e.name[0] == '.' || !S_ISDIR(e.st.st_mode)) continue;
    progress.ShowStatusText("dir " + NameFromPath(folder));
    const std::filesystem::path sub = folder / e.raw / "";
    ScanFolderFiles(sub, mask, lists, progress);
    ScanSubfolders(sub, mask, lists, progress);
  }
}

std::string ScanFolderOfLine(std::string_view line) {
  size_t begin = line.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  size_t end = line.find_last_not_of(" \t");
  return std::string(line.substr(begin, end - begin + 1)) + "/";
}

ScanLists ScanAllFolders(const std::vector<std::string>& folderLines, bool subfolders,
                         Progress& progress) {
  ScanLists lists;
  for (const auto& line : folderLines) {
    const std::string folder = ScanFolderOfLine(line);
    if (folder.empty()) continue;
    ScanFolderFiles(FsPath(folder), "*.xml", lists, progress);
    if (subfolders) ScanSubfolders(FsPath(folder), "*.xml", lists, progress);
  }
  return lists;
}

std::string FolderPickerCaption() { return W(" Выбор папки (Choose a folder) "); }

std::string FolderPickerStart(const std::vector<std::string>& folderLines) {
  if (folderLines.empty()) return {};
  std::string last = ScanFolderOfLine(folderLines.back());
  if (last.empty()) return {};
  last.pop_back();
  struct stat st {};
  if (::stat(FsPath(last).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  return last;
}

void AddScanFolder(std::vector<std::string>& folderLines, const std::string& folder) {
  folderLines.push_back(folder);
}

std::vector<std::string> WithDownloadFolder(std::vector<std::string> folderLines,
                                            const std::string& downloads, bool subfolders) {
  std::string folder = ScanFolderOfLine(downloads);
  if (folder.empty()) return folderLines;
  // From the download folder up to the root: is any of these folders a scan folder already?
  std::string above = folder;
  bool first = true;
  while (!above.empty()) {
    for (const std::string& line : folderLines) {
      const std::string scanned = ScanFolderOfLine(line);
      if (!scanned.empty() && (first || subfolders) && SameFile(scanned, above)) {
        return folderLines;
      }
    }
    first = false;
    while (!above.empty() && above.back() == '/') above.pop_back();
    const size_t slash = above.rfind('/');
    if (slash == std::string::npos) break;
    above.resize(slash + 1);
  }
  folderLines.push_back(downloads);
  return folderLines;
}

}  // namespace vorlin
