#include "download/download_list_check.h"

#include "util/cp1251.h"
#include "util/settings_file.h"

namespace vorlin {

bool IsFetchableUrl(std::string_view url) {
  const size_t colon = url.find("://");
  if (colon == std::string_view::npos) return false;
  const std::string_view scheme = url.substr(0, colon);
  if (!EqualNoCase(scheme, "http") && !EqualNoCase(scheme, "https") &&
      !EqualNoCase(scheme, "ftp") && !EqualNoCase(scheme, "ftps")) {
    return false;
  }
  const std::string_view rest = url.substr(colon + 3);
  const size_t hostEnd = rest.find_first_of("/?#");
  const std::string_view host = rest.substr(0, hostEnd);
  return !host.empty() && host.find_first_of(" \t") == std::string_view::npos;
}

std::string DownloadRowProblem(const DownloadRow& row) {
  const std::string url = Cp1251ToUtf8(row[kColUrl]);
  if (!IsFetchableUrl(row[kColUrl])) {
    return "Поле «Адрес (URL)»: «" + url +
           "» — не адрес http, https, ftp или ftps (The field \"Адрес (URL)\": \"" + url +
           "\" is not an http, https, ftp or ftps address)";
  }
  struct Field {
    int column;
    const char* caption;
    int max;
  };
  static const Field kFields[] = {{kColDays, "Дни (days)", 30},
                                  {kColHours, "Часы (hours)", 23},
                                  {kColMinutes, "Минуты(Min)", 59}};
  for (const Field& f : kFields) {
    const std::string& cell = row[f.column];
    if (cell.empty()) continue;
    const std::optional<long long> value = ParseInteger(cell);
    if (value && *value >= 0 && *value <= f.max && cell[0] != '+') continue;
    const std::string text = Cp1251ToUtf8(cell);
    const std::string max = std::to_string(f.max);
    return std::string("Поле «") + f.caption + "»: «" + text + "» — не целое число от 0 до " + max +
           " (The field \"" + f.caption + "\": \"" + text + "\" is not a whole number from 0 to " +
           max + ")";
  }
  return {};
}

}  // namespace vorlin
