// Listing the "*.xml" files of the scan folders (the lines of MRSSDir, saved as DirRss.txt).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "util/progress.h"

namespace vorlin {

// Files found by a scan, in the order found; the same file may appear more than once when a
// folder is listed twice.
struct ScanLists {
  struct SizeEntry {
    uint64_t size;  // bytes; the size key is this number padded to 12 digits
    size_t index;   // position of the file in `paths`
  };
  // Folder + file name as file-system paths (UTF-8): a name the code page cannot hold is still
  // opened; it is converted only where it is shown.
  std::vector<std::filesystem::path> paths;
  std::vector<SizeEntry> sizes;
};

// Whether `name` matches a wildcard mask ("*" any run, "?" one character), letter case ignored.
bool MatchesMask(std::string_view name, std::string_view mask);

// Lists the plain files of `folder` (ending in "/") whose names match `mask`, skipping
// names that begin with "." (hidden). Files are taken in name order, letter case ignored.
// For each one shows "Scan =" + number of paths + "  " + path. A folder that does not exist
// or cannot be read yields nothing.
void ScanFolderFiles(const std::filesystem::path& folder, std::string_view mask, ScanLists& lists,
                     Progress& progress);

// Depth-first descent below `folder`: for each subfolder (not hidden, name not beginning with
// ".", not a symbolic link) shows "dir " + folder, lists its files, then descends into it.
void ScanSubfolders(const std::filesystem::path& folder, std::string_view mask, ScanLists& lists,
                    Progress& progress);

// The scan folder of one line of MRSSDir: trimmed of blanks, with "/" appended (even after
// one already there). A blank line gives no folder (empty text): it must never turn into the
// root of the file system.
std::string ScanFolderOfLine(std::string_view line);

// The scan of an ingestion run: for each scan folder in line order its "*.xml" files, then,
// with `subfolders`, those of its subfolders. Blank lines are skipped.
ScanLists ScanAllFolders(const std::vector<std::string>& folderLines, bool subfolders,
                         Progress& progress);

// ButtonAddDirToMRSSDirClick: the folder picker's caption " Выбор папки (Choose a folder) ", the
// folder it starts in (the last line of MRSSDir when that folder exists, else empty), and the line
// appended when a folder is chosen.
std::string FolderPickerCaption();
std::string FolderPickerStart(const std::vector<std::string>& folderLines);
void AddScanFolder(std::vector<std::string>& folderLines, const std::string& folder);

// The scan folders of a run that also takes the download folder `downloads` (a folder name,
// blank for none): `folderLines` with `downloads` appended, unless a line already reaches it
// (the same folder under any name, or, with `subfolders`, a folder above it), since a folder
// scanned twice has its files read twice.
std::vector<std::string> WithDownloadFolder(std::vector<std::string> folderLines,
                                            const std::string& downloads, bool subfolders);

}  // namespace vorlin
