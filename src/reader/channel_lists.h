// The two channel lists of the search page (all channels through a filter, and the selected
// channels) and the favourite group files that store a selection.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

// The channels whose upper-cased title contains the upper-cased filter as typed (blanks count,
// "?" any one character); every channel for an empty filter. Keeps the channel list's order.
std::vector<std::string> FilterChannels(const std::vector<std::string>& channels,
                                        std::string_view filter);

// Inserts `title` into a list kept in collation order.
void InsertSorted(std::vector<std::string>& list, std::string title);

// Moves line `index` of `from` to the end of `to`; nothing for an index out of range.
bool MoveToSelection(std::vector<std::string>& all, std::vector<std::string>& selected, int index);
// Moves line `index` of the selection back into the sorted all-channels list.
bool MoveBack(std::vector<std::string>& selected, std::vector<std::string>& all, int index);

// Favourite group files (".myRSS"): one channel title per line, Windows-1251, CR LF.
// Reading takes every line ended by CR, LF or CR LF, the last also without an ending; an empty
// line is an empty entry. Failures throw Error naming the file. Group files are found and
// opened by their names on disk (UTF-8, see ListGroupFiles), which the code page may not hold.
std::vector<std::string> ReadGroupFile(const std::filesystem::path& path);
// The path of the group file `fileName` (as ListGroupFiles gives it) in `folder` (Windows-1251).
std::filesystem::path GroupFilePath(const std::string& folder, const std::string& fileName);
// The lines of a group file's bytes, and the bytes of a group.
std::vector<std::string> ParseGroupFile(std::string_view bytes);
std::string FormatGroupFile(const std::vector<std::string>& lines);
void WriteGroupFile(const std::string& fileName, const std::vector<std::string>& lines);

// Names of the files of `folder` (Windows-1251) ending in ".myRSS" (any case), as they are on
// disk (UTF-8), in collation order; empty for a folder that does not exist or cannot be listed.
std::vector<std::string> ListGroupFiles(const std::string& folder);

// True for a name ending in ".myRSS", letter case aside.
bool IsGroupFileName(std::string_view name);

}  // namespace vorlin
