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
  const std::string* last = nullptr;  // messages of one channel usually come in runs
  // A title met before exactly as written changes nothing: only new spellings are looked up.
  std::unordered_set<std::string_view> seen;
  for (const std::string& title : list.titleRss) {
    if (last != nullptr && *last == title) continue;
    last = &title;
    if (!seen.insert(title).second) continue;
    auto pos = std::lower_bound(
        channels.begin(), channels.end(), title,
        [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    if (pos == channels.end() || CompareNoCase(*pos, title) != 0) {
      channels.insert(pos, title);
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
