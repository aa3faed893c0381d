// Removal of byte-identical duplicate files from the scan folders: of each group of files with
// equal CRC-32 and size, the one whose full path sorts first (letter case ignored) stays.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "util/progress.h"

namespace vorlin {

// Receives each line for the log pane (MemoLog), Windows-1251, without a line end.
using LogSink = std::function<void(const std::string& line)>;

struct DuplicateSummary {
  uint64_t files = 0;       // files scanned
  uint64_t totalSize = 0;   // their sizes summed
  uint64_t candidates = 0;  // files sharing their size with another one
  uint64_t duplicates = 0;  // files on the delete list
  uint64_t duplicateSize = 0;
  std::string text;  // the summary line shown and logged
};

// Digits grouped by threes from the right, each group preceded by one blank; the leftmost
// group gets one too when the number of digits is a multiple of three ("1234567" gives
// "1 234 567", "123456" gives " 123 456", "12" stays "12").
std::string FormatDigitGroups(std::string_view digits);

// The file key: CRC-32 of the whole content in 11 digits, then the size in 12. Returns false
// when the file cannot be read.
bool FileKey(const std::filesystem::path& path, std::string& key, uint64_t& size);

// Scans the folders (as an ingestion run does), reads only files that share their size with
// another one, and deletes every file whose key was seen on a file earlier in path order.
// Shows "All=" + (candidates - 1) + " Tek- " + i + "Test " + path for every candidate
// examined, then the summary "All scan files=... All scan files size =... All test=... Dubl-
// ... Size dubl= ...", which also goes to `log`. Files that vanish or cannot be read are left
// alone without a message; failed deletions are ignored. A file reached a second time under
// another name (a link, a folder listed twice in different spellings) is no duplicate of itself
// and is passed over, and so is the store `keep` when it lies in a scan folder.
DuplicateSummary DeleteDuplicateFiles(const std::vector<std::string>& folderLines, bool subfolders,
                                      Progress& progress, const LogSink& log,
                                      std::string_view keep = {});

}  // namespace vorlin
