// The checks of a download-list row before the editor adds or saves it.
#pragma once

#include <string>
#include <string_view>

#include "download/download_list.h"

namespace vorlin {

// True for a URL the downloader fetches: http, https, ftp or ftps (any letter case), "://" and
// a host.
bool IsFetchableUrl(std::string_view url);

// Why the row cannot be added or saved, naming the field by its caption, in Russian and English
// (UTF-8); empty when it can. The URL must be fetchable; each frequency cell empty or a whole
// number: days 0 to 30, hours 0 to 23, minutes 0 to 59.
std::string DownloadRowProblem(const DownloadRow& row);

// What Save and "Download one file" say when no row of the list is selected (UTF-8).
inline constexpr const char* kNoRowSelected =
    "Не выбрана строка списка: выберите её в таблице (No row of the list is selected: select "
    "one in the table)";

}  // namespace vorlin
