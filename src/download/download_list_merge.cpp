#include "download/download_list_merge.h"

#include <map>
#include <string>
#include <utility>

#include "store/store_lock.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

using RowKey = std::pair<std::string, int>;  // URL and its occurrence

std::vector<RowKey> Keys(const std::vector<DownloadRow>& rows) {
  std::map<std::string, int> seen;
  std::vector<RowKey> keys;
  for (size_t i = 1; i < rows.size(); ++i) {
    const std::string& url = rows[i][kColUrl];
    keys.emplace_back(url, seen[url]++);
  }
  return keys;
}

std::map<RowKey, const DownloadRow*> ByKey(const std::vector<DownloadRow>& rows) {
  std::map<RowKey, const DownloadRow*> map;
  const std::vector<RowKey> keys = Keys(rows);
  for (size_t i = 0; i < keys.size(); ++i) map[keys[i]] = &rows[i + 1];
  return map;
}

}  // namespace

std::vector<DownloadRow> MergeListRows(const std::vector<DownloadRow>& base,
                                       const std::vector<DownloadRow>& mine,
                                       const std::vector<DownloadRow>& theirs) {
  const auto baseRows = ByKey(base);
  const auto theirRows = ByKey(theirs);
  const auto mineRows = ByKey(mine);
  std::vector<DownloadRow> merged;
  merged.push_back(mine.empty() ? DownloadHeaders() : mine[0]);
  const std::vector<RowKey> mineKeys = Keys(mine);
  for (size_t i = 0; i < mineKeys.size(); ++i) {
    const DownloadRow& m = mine[i + 1];
    const auto b = baseRows.find(mineKeys[i]);
    const auto t = theirRows.find(mineKeys[i]);
    if (b == baseRows.end()) {
      merged.push_back(m);  // mine alone, or added on both sides
    } else if (t == theirRows.end()) {
      if (m != *b->second) merged.push_back(m);  // deleted there; kept if I changed it
    } else {
      DownloadRow row = m;
      for (int c = 0; c < kDownloadColumns; ++c) {
        if (m[c] == (*b->second)[c]) row[c] = (*t->second)[c];
      }
      merged.push_back(std::move(row));
    }
  }
  const std::vector<RowKey> theirKeys = Keys(theirs);
  for (size_t i = 0; i < theirKeys.size(); ++i) {
    if (!mineRows.contains(theirKeys[i]) && !baseRows.contains(theirKeys[i])) {
      merged.push_back(theirs[i + 1]);
    }
  }
  return merged;
}

void SaveGridMerged(std::string_view fileName, DownloadGrid& grid, std::vector<DownloadRow>& base) {
  StoreLock lock(fileName);
  // Cleaned as the file will hold them, so that unchanged cells compare equal.
  FormatListFile(grid);
  if (FileExists(fileName)) {
    grid.rows = MergeListRows(base, grid.rows, ParseListFile(ReadWholeFile(fileName)));
  }
  SaveGridToFile(fileName, grid);
  base = grid.rows;
}

}  // namespace vorlin
