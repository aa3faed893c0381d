#include "reader/message_sort.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "util/cp1251.h"
#include "util/rss_date.h"

namespace vorlin {
namespace {

constexpr int kNumberBits = 24;

// True when `a` weighs as the start of `b` (or as all of it).
bool WeighsAsPrefix(std::string_view a, std::string_view b) {
  if (a.size() > b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (CollationWeight(a[i]) != CollationWeight(b[i])) return false;
  }
  return true;
}

// The date as a number ordered like its normalised text; false when the sort falls back to
// the date text.
bool PackedDate(std::string_view pubDate, uint64_t& packed) {
  DateTime v;
  if (!ParseDate(pubDate, v) || v.year < 0 || v.year > 9999) return false;
  packed = ((((static_cast<uint64_t>(v.year) * 13 + static_cast<uint64_t>(v.month)) * 32 +
              static_cast<uint64_t>(v.day)) *
                 24 +
             static_cast<uint64_t>(v.hour)) *
                60 +
            static_cast<uint64_t>(v.minute)) *
               60 +
           static_cast<uint64_t>(v.second);
  return true;
}

// Sorts a range by whole keys: for channels whose titles start with another's, or dates that
// do not normalise.
void SortByKeys(const MessageList& messages, std::vector<int>::iterator begin,
                std::vector<int>::iterator end) {
  std::vector<std::pair<std::string, int>> keyed;
  keyed.reserve(static_cast<size_t>(end - begin));
  for (auto it = begin; it != end; ++it) keyed.emplace_back(SortKey(messages, *it), *it);
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    int c = CompareNoCase(a.first, b.first);
    return c != 0 ? c < 0 : a.second < b.second;
  });
  for (auto& k : keyed) *begin++ = k.second;
}

// Sorts a range of one channel (titles equal but for case) by date.
void SortByDate(const MessageList& messages, std::vector<int>::iterator begin,
                std::vector<int>::iterator end) {
  std::vector<uint64_t> packed;
  packed.reserve(static_cast<size_t>(end - begin));
  for (auto it = begin; it != end; ++it) {
    uint64_t date = 0;
    if (*it >= (1 << kNumberBits) || !PackedDate(messages.pubDate[static_cast<size_t>(*it)], date))
      return SortByKeys(messages, begin, end);
    packed.push_back(date << kNumberBits | static_cast<uint64_t>(*it));
  }
  std::sort(packed.begin(), packed.end());
  for (uint64_t p : packed) *begin++ = static_cast<int>(p & ((1u << kNumberBits) - 1));
}

}  // namespace

std::string SortKey(const MessageList& messages, int n) {
  const auto i = static_cast<size_t>(n);
  std::string key = messages.titleRss[i];
  std::string normalised;
  if (NormaliseDate(messages.pubDate[i], normalised)) {
    key += normalised;
  } else {
    const std::string& date = messages.pubDate[i];
    if (date.size() > 5) key.append(date, 4, date.size() - 5);
  }
  return key;
}

void SortByChannelAndDate(const MessageList& messages, std::vector<int>& list) {
  // Distinct titles, in collation order.
  std::unordered_map<std::string_view, uint32_t> titleIds;
  std::vector<std::string_view> titles;
  for (int n : list) {
    auto [it, added] = titleIds.try_emplace(messages.titleRss[static_cast<size_t>(n)],
                                            static_cast<uint32_t>(titles.size()));
    if (added) titles.push_back(it->first);
  }
  std::vector<uint32_t> order(titles.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    int c = CompareNoCase(titles[a], titles[b]);
    return c != 0 ? c < 0 : a < b;
  });

  // Keys compare by title alone except between titles one of which weighs as the start of the
  // other: then the dates of the shorter meet the letters of the longer. Such titles form one
  // cluster, sorted by whole keys; a cluster of one channel is sorted by date.
  std::vector<uint32_t> clusterOf(titles.size());
  std::vector<bool> oneChannel;
  size_t root = 0;
  for (size_t k = 0; k < order.size(); ++k) {
    std::string_view t = titles[order[k]];
    if (k == 0 || !WeighsAsPrefix(titles[order[root]], t)) {
      root = k;
      oneChannel.push_back(true);
    } else if (!EqualNoCase(titles[order[root]], t)) {
      oneChannel.back() = false;
    }
    clusterOf[order[k]] = static_cast<uint32_t>(oneChannel.size() - 1);
  }

  // Counting sort by cluster, then each cluster on its own.
  auto cluster = [&](int n) { return clusterOf[titleIds.at(messages.titleRss[size_t(n)])]; };
  std::vector<size_t> start(oneChannel.size() + 1, 0);
  for (int n : list) ++start[cluster(n) + 1];
  for (size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  std::vector<int> sorted(list.size());
  {
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (int n : list) sorted[next[cluster(n)]++] = n;
  }
  list.clear();
  list.shrink_to_fit();
  for (size_t c = 0; c < oneChannel.size(); ++c) {
    auto b = sorted.begin() + static_cast<long>(start[c]);
    auto e = sorted.begin() + static_cast<long>(start[c + 1]);
    if (oneChannel[c]) {
      SortByDate(messages, b, e);
    } else {
      SortByKeys(messages, b, e);
    }
  }
  list = std::move(sorted);
}

}  // namespace vorlin
