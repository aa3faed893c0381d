// The validators of each feed's last download (ETag and Last-Modified), kept in a side file
// beside the download list, so that the next download asks the server only for what changed
// while the list keeps its six columns.
//
// Side file format: the list file's name + ".validators"; one line a feed, the URL as the list
// holds it (Windows-1251), a tab, the ETag, a tab, the Last-Modified date; every line ended by
// CR LF. Lines that do not have three fields are skipped.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "download/download_list.h"

namespace vorlin {

struct Validators {
  std::string etag;
  std::string lastModified;
  bool Empty() const { return etag.empty() && lastModified.empty(); }
  bool operator==(const Validators&) const = default;
};

// By URL, as the list's column 0 holds it.
using ValidatorMap = std::map<std::string, Validators>;

std::string ValidatorFileName(std::string_view listFile);

ValidatorMap ParseValidators(std::string_view text);
// Entries without validators, and values holding a tab or a control character, are left out.
std::string FormatValidators(const ValidatorMap& validators);

// The side file of `listFile`; a missing or unreadable one gives none (it only saves downloads).
ValidatorMap LoadValidators(std::string_view listFile);
// Writes the entries of the URLs that `grid` still holds (through a temporary file). Nothing is
// written when there is nothing to keep and no side file yet. Throws Error when it cannot write.
void SaveValidators(std::string_view listFile, const ValidatorMap& validators,
                    const DownloadGrid& grid);

}  // namespace vorlin
