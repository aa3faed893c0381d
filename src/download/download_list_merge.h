// Saving a download list that another process may have rewritten since it was read: a second
// window on the same program folder, or `vorlin-cli download` from cron.
#pragma once

#include <string_view>
#include <vector>

#include "download/download_list.h"

namespace vorlin {

// A three-way merge of data rows; row 0 is `mine`'s. Rows are matched by URL (the n-th row of a
// URL with the n-th row of the same URL in each list). In `mine`'s order, each of my rows keeps
// the cells I changed since `base` and takes the file's value for every other cell (so a stamp
// written by another process survives); a row the other side deleted goes unless I changed it.
// Rows the other side added follow, in its order; rows I deleted stay deleted.
std::vector<DownloadRow> MergeListRows(const std::vector<DownloadRow>& base,
                                       const std::vector<DownloadRow>& mine,
                                       const std::vector<DownloadRow>& theirs);

// Saves `grid` to `fileName` under the list's lock (the lock file of the list's name, as a
// store's: "DLFiles.lock" beside "DLFiles.txt"), merged with the file as it is now against
// `base`, the rows the file held when it was last read or written. `grid` and `base` then hold
// the rows written. Throws Error (StoreBusyError when another process keeps the lock) and leaves
// the file as it was.
void SaveGridMerged(std::string_view fileName, DownloadGrid& grid, std::vector<DownloadRow>& base);

}  // namespace vorlin
