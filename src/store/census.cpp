#include "store/census.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "util/cp1251.h"

namespace vorlin {

std::vector<std::string> TakeCensus(const MessageList& list, Progress& progress) {
  progress.ShowStatusText(W("Поиск каналов ... "));
  const std::string found = W("Поиск каналов, найдено ");
  std::vector<std::string> channels;
  std::string_view last;  // messages of one channel usually come in runs
  bool any = false;
  // A title met before exactly as written changes nothing: only new spellings are looked up.
  std::unordered_set<std::string_view> seen;
  for (size_t i = 0; i < list.titleRss.size(); ++i) {
    const std::string_view title = list.titleRss[i];
    if (any && last == title) continue;
    last = title;
    any = true;
    if (!seen.insert(title).second) continue;
    auto pos = std::lower_bound(
        channels.begin(), channels.end(), title,
        [](std::string_view a, std::string_view b) { return CompareNoCase(a, b) < 0; });
    if (pos == channels.end() || CompareNoCase(*pos, title) != 0) {
      channels.insert(pos, std::string(title));
      progress.ShowStatusText(found + std::to_string(channels.size()));
    }
  }
  return channels;
}

std::string CensusSummary(int messages, int channels) {
  return W("Всего сообщений ") + std::to_string(messages) + W(", каналов ") +
         std::to_string(channels);
}

}  // namespace vorlin
