#include "ingest/duplicate_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>

#include "ingest/folder_scan.h"
#include "store/crc32.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

// Paths sorted by their names as shown, without regard to letter case; paths that differ only
// in case (or in characters the code page lacks) are different files, ordered by their bytes.
struct PathLess {
  bool operator()(const std::filesystem::path& a, const std::filesystem::path& b) const {
    int c = CompareNoCase(NameFromPath(a), NameFromPath(b));
    return c != 0 ? c < 0 : a.native() < b.native();
  }
};

bool GetPathId(const std::filesystem::path& path, FileId& id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  id = FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return true;
}

}  // namespace

std::string FormatDigitGroups(std::string_view digits) {
  std::string out;
  int inGroup = 0;
  for (size_t i = digits.size(); i-- > 0;) {
    out.insert(out.begin(), digits[i]);
    if (++inGroup == 3) {
      out.insert(out.begin(), ' ');
      inGroup = 0;
    }
  }
  return out;
}

bool FileKey(const std::filesystem::path& path, std::string& key, uint64_t& size) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  uint32_t crc = 0;
  uint64_t total = 0;
  static thread_local std::string buffer(1 << 16, '\0');
  for (;;) {
    ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    crc = Crc32Update(crc, std::string_view(buffer.data(), static_cast<size_t>(n)));
    total += static_cast<uint64_t>(n);
  }
  ::close(fd);
  key = MakeKey(crc, total);
  size = total;
  return true;
}

DuplicateSummary DeleteDuplicateFiles(const std::vector<std::string>& folderLines, bool subfolders,
                                      Progress& progress, const LogSink& log,
                                      std::string_view keep) {
  ScanLists lists = ScanAllFolders(folderLines, subfolders, progress);
  std::stable_sort(lists.sizes.begin(), lists.sizes.end(),
                   [](const auto& a, const auto& b) { return a.size < b.size; });

  std::set<std::filesystem::path, PathLess> candidateSet;
  for (size_t i = 0; i + 1 < lists.sizes.size(); ++i) {
    if (lists.sizes[i].size == lists.sizes[i + 1].size) {
      candidateSet.insert(lists.paths[lists.sizes[i].index]);
      candidateSet.insert(lists.paths[lists.sizes[i + 1].index]);
    }
  }
  DuplicateSummary summary;
  summary.files = lists.sizes.size();
  for (const auto& s : lists.sizes) summary.totalSize += s.size;
  lists = ScanLists();

  const std::vector<std::filesystem::path> candidates(candidateSet.begin(), candidateSet.end());
  candidateSet.clear();
  summary.candidates = candidates.size();
  std::set<std::string> seen;
  std::set<std::filesystem::path, PathLess> toDelete;
  // Files already examined, by identity: one file under two names is not two identical files.
  std::set<FileId> examined;
  FileId keepId;
  if (!keep.empty() && GetFileId(keep, keepId)) examined.insert(keepId);
  const std::string allPrefix =
      "All=" + std::to_string(static_cast<long long>(candidates.size()) - 1);
  for (size_t i = 0; i < candidates.size(); ++i) {
    const std::filesystem::path& path = candidates[i];
    FileId id;
    if (!GetPathId(path, id) || !examined.insert(id).second) continue;
    std::string key;
    uint64_t size = 0;
    if (!FileKey(path, key, size)) continue;
    if (seen.count(key) != 0) {
      if (toDelete.insert(path).second) summary.duplicateSize += size;
    } else {
      seen.insert(std::move(key));
    }
    progress.ShowStatusText(allPrefix + " Tek- " + std::to_string(i) + "Test " +
                            NameFromPath(path));
  }
  for (const auto& path : toDelete) ::unlink(path.c_str());
  summary.duplicates = toDelete.size();

  summary.text = "All scan files=" + std::to_string(summary.files) +
                 " All scan files size =" + FormatDigitGroups(std::to_string(summary.totalSize)) +
                 " All test=" + std::to_string(summary.candidates) + " Dubl- " +
                 std::to_string(summary.duplicates) +
                 " Size dubl= " + FormatDigitGroups(std::to_string(summary.duplicateSize));
  progress.ShowStatusText(summary.text);
  if (log) log(summary.text);
  return summary;
}

}  // namespace vorlin
