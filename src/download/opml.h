// OPML 2.0 files of feed subscriptions, the form feed readers exchange their lists in: importing
// their outlines into the download list and exporting the list as one.
//
// An export holds one <outline type="rss" text="COMMENT" xmlUrl="URL"/> per row; the row's
// frequency and last-download stamp ride along in attributes of the program's own namespace
// (vorlin:days, vorlin:hours, vorlin:min, vorlin:lastDownload), so that importing an export into
// an empty list gives the same rows, while other readers see a plain OPML 2.0 file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "download/download_list.h"

namespace vorlin {

// The feeds of an OPML document (any encoding its declaration names) as download-list rows
// (Windows-1251), in document order: every outline with a non-empty xmlUrl, at any depth (the
// categories are flattened). Comment: the outline's `text`, else its `title`. Frequency: the
// program's attributes when present, else 1 day. Throws Error naming `fileName` when the text
// is not well-formed XML with the root element "opml".
std::vector<DownloadRow> ParseOpml(std::string_view bytes, std::string_view fileName);

// Appends every row whose URL is not in the list yet (nor earlier among `rows`); returns the
// number appended.
int ImportOpmlRows(DownloadGrid& grid, const std::vector<DownloadRow>& rows);

// The list as an OPML 2.0 document in UTF-8: every data row with a URL, in list order.
std::string FormatOpml(const DownloadGrid& grid);

// The two commands of the downloads page and vorlin-cli: the rows of `opmlFile` appended to the
// list (returns the number appended), and the list written to `opmlFile` (through a temporary
// file).
int ImportOpmlFile(std::string_view opmlFile, DownloadGrid& grid);
void ExportOpmlFile(const DownloadGrid& grid, std::string_view opmlFile);

}  // namespace vorlin
