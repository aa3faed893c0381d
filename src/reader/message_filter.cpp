#include "reader/message_filter.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <tuple>

#include "app/accumulator.h"
#include "reader/message_sort.h"
#include "store/crc32.h"
#include "util/cp1251.h"

namespace vorlin {
int CompareDateTime(const DateTime& a, const DateTime& b) {
  auto ta = std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second);
  auto tb = std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
  return ta < tb ? -1 : tb < ta ? 1 : 0;
}

MessageFilter::MessageFilter(const SearchSettings& settings, const MessageList& messages,
                             const KeyIndex& readIndex)
    : messages_(messages),
      readIndex_(readIndex),
      rangeActive_(settings.rangeActive),
      start_(settings.rangeStart),
      end_(settings.rangeEnd),
      withoutRead_(settings.withoutRead) {
  for (size_t i = 0; i < 4; ++i) {
    // A field holding only blanks and control characters is not tested; a tested field is
    // matched as typed.
    tested_[i] = !TrimControls(settings.queries[i]).empty();
    if (tested_[i]) queries_[i] = CompiledQuery(settings.queries[i]);
  }
}

bool MessageFilter::PassesFilter(int n) const {
  const auto i = static_cast<size_t>(n);
  for (size_t q = 0; q < 4; ++q) {
    if (tested_[q] && !queries_[q].Matches(messages_.Column(kQueryFields[q])[i])) return false;
  }
  if (rangeActive_) {
    DateTime value;
    if (!ParseDate(messages_.pubDate[i], value)) return false;
    if (CompareDateTime(value, start_) < 0 || CompareDateTime(value, end_) > 0) return false;
  }
  if (withoutRead_) {
    // A read key that cannot be computed is empty and counts as not read.
    std::string key = ReadKey(messages_.title[i], messages_.description[i]);
    if (!key.empty() && readIndex_.Contains(key)) return false;
  }
  return true;
}

std::vector<int> SelectMessages(const MessageList& messages, const SearchSettings& settings,
                                const KeyIndex& readIndex) {
  std::vector<std::string> channelSet = settings.selectedChannels;
  auto less = [](std::string_view a, std::string_view b) { return CompareNoCase(a, b) < 0; };
  std::sort(channelSet.begin(), channelSet.end(), less);
  MessageFilter filter(settings, messages, readIndex);
  // Passing messages are marked in a bitmap first, so the found set is allocated once at its
  // exact size (a growing vector would briefly hold three times its size).
  std::vector<uint64_t> passed((static_cast<size_t>(messages.Count()) + 63) / 64);
  size_t count = 0;
  std::string_view lastChannel;  // messages of one channel usually come in runs
  bool lastIn = true;
  bool any = false;
  for (int n = 0; n < messages.Count(); ++n) {
    if (!channelSet.empty()) {
      const std::string_view channel = messages.titleRss[static_cast<size_t>(n)];
      if (!any || lastChannel != channel) {
        lastIn = std::binary_search(channelSet.begin(), channelSet.end(), channel, less);
        lastChannel = channel;
        any = true;
      }
      if (!lastIn) continue;
    }
    if (settings.useFilter && !filter.PassesFilter(n)) continue;
    passed[static_cast<size_t>(n) / 64] |= uint64_t{1} << (n % 64);
    ++count;
  }
  std::vector<int> found;
  found.reserve(count);
  for (size_t w = 0; w < passed.size(); ++w) {
    for (uint64_t bits = passed[w]; bits != 0; bits &= bits - 1) {
      found.push_back(static_cast<int>(w * 64 + static_cast<size_t>(__builtin_ctzll(bits))));
    }
  }
  return found;
}

std::vector<int> SimpleSearch(const MessageList& messages, const SearchSettings& settings,
                              const KeyIndex& readIndex, Accumulator& accumulator) {
  accumulator.Clear();
  // The found set goes to the list whole: it is in store order without repeats, so adding it
  // to the empty accumulator one by one would give the same list.
  std::vector<int> list = SelectMessages(messages, settings, readIndex);
  SortByChannelAndDate(messages, list);
  return list;
}

std::string FoundStatusText(size_t count) { return W("Найдено(Found) ") + std::to_string(count); }

}  // namespace vorlin
