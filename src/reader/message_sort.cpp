#include "reader/message_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
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

// The rank of each byte's collation weight: comparing texts of ranks byte by byte orders them
// as CompareNoCase does, except that "Е" and "Ё" tie.
struct Ranks {
  std::array<unsigned char, 256> rank{};
  unsigned char lastPunctuation = 0;  // the greatest rank below the digits
  unsigned char last = 0;             // the greatest rank of all (a Cyrillic letter)
  Ranks() {
    std::vector<uint16_t> weights;
    for (int b = 0; b < 256; ++b) weights.push_back(CollationWeight(static_cast<char>(b)));
    std::sort(weights.begin(), weights.end());
    weights.erase(std::unique(weights.begin(), weights.end()), weights.end());
    for (int b = 0; b < 256; ++b) {
      auto at = std::lower_bound(weights.begin(), weights.end(), CollationWeight(char(b)));
      rank[b] = static_cast<unsigned char>(at - weights.begin());
    }
    lastPunctuation = static_cast<unsigned char>(rank['0'] - 1);
    last = static_cast<unsigned char>(weights.size() - 1);
  }
};
const Ranks kRanks;

// The Latin letter each letter of U+00C0..U+017F is a variant of ('*' for the two signs there).
constexpr std::string_view kLatin1Base = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTS";
constexpr std::string_view kLatinExtendedBase =
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIIIIIJJKKKLLLLLLLLLLNNNNNNNNNOOOOOOOORRRRRR"
    "SSSSSSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZS";
static_assert(kLatin1Base.size() == 0x20 && kLatinExtendedBase.size() == 0x80);

// The upper-case form of a letter the code page lacks (Latin-1, Latin Extended-A and Greek).
uint32_t FoldCase(uint32_t cp) {
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
  if (cp == 0xFF) return 0x178;
  const bool oddUpper = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
  const bool evenUpper = (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177);
  if ((oddUpper && cp % 2 == 0) || (evenUpper && cp % 2 == 1)) return cp - 1;
  if (cp == 0x3C2) return 0x3A3;  // final sigma
  if (cp >= 0x3B1 && cp <= 0x3CB) return cp - 0x20;
  if (cp == 0x3AC) return 0x386;
  if (cp >= 0x3AD && cp <= 0x3AF) return cp - 0x25;
  if (cp >= 0x3CC && cp <= 0x3CE) return cp - 0x3F;
  return cp;
}

bool IsSymbol(uint32_t cp) {
  return (cp >= 0xA0 && cp <= 0xBF) || cp == 0xD7 || cp == 0xF7 || (cp >= 0x2000 && cp <= 0x2BFF) ||
         (cp >= 0x2E00 && cp <= 0x2E7F) || (cp >= 0x3000 && cp <= 0x303F) ||
         (cp >= 0xFE00 && cp <= 0xFE0F) || (cp >= 0x1F000 && cp <= 0x1FAFF);
}

// Appends the ranks of `text` with every reference the decoder turns back read as its character.
// A character the code page lacks takes five bytes: the rank it follows, 0xFF (above every rank,
// so it sorts after that rank whatever comes next, and before the next rank), then its upper-case
// code point. A Latin letter with a mark follows its plain letter, Greek follows Latin, signs
// follow punctuation, and other scripts follow Cyrillic.
void AppendDecodedRanks(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = text[i] == '&' ? EncodedRefLength(text, i) : 0;
    if (n == 0) {
      out += static_cast<char>(kRanks.rank[static_cast<unsigned char>(text[i++])]);
      continue;
    }
    uint32_t cp = 0;
    for (size_t j = i + 2; j + 1 < i + n; ++j) cp = cp * 10 + static_cast<uint32_t>(text[j] - '0');
    i += n;
    if (cp == '&') {
      out += static_cast<char>(kRanks.rank['&']);
      continue;
    }
    const uint32_t upper = FoldCase(cp);
    char base = upper >= 0xC0 && upper <= 0xDF    ? kLatin1Base[upper - 0xC0]
                : upper >= 0x100 && upper < 0x180 ? kLatinExtendedBase[upper - 0x100]
                : upper == 0x178                  ? 'Y'
                                                  : '*';
    unsigned char lead = kRanks.last;
    if (base != '*') {
      lead = kRanks.rank[static_cast<unsigned char>(base)];
    } else if (upper >= 0x370 && upper <= 0x3FF) {
      lead = kRanks.rank['Z'];
    } else if (IsSymbol(cp)) {
      lead = kRanks.lastPunctuation;
    }
    out += static_cast<char>(lead);
    out += '\xFF';
    out += static_cast<char>(upper >> 16);
    out += static_cast<char>((upper >> 8) & 0xFF);
    out += static_cast<char>(upper & 0xFF);
  }
}

bool HasAmpersand(std::string_view text) { return text.find('&') != std::string_view::npos; }

// Sorts a range by whole keys: for channels whose titles start with another's, or dates that
// do not normalise.
void SortByKeys(const MessageList& messages, std::vector<int>::iterator begin,
                std::vector<int>::iterator end) {
  std::vector<std::pair<std::string, int>> keyed;
  keyed.reserve(static_cast<size_t>(end - begin));
  for (auto it = begin; it != end; ++it) {
    std::string key = SortKey(messages, *it);
    if (HasAmpersand(key)) {
      std::string decoded;
      AppendDecodedRanks(decoded, key);
      key = std::move(decoded);
    } else {
      for (char& c : key) c = static_cast<char>(kRanks.rank[static_cast<unsigned char>(c)]);
    }
    keyed.emplace_back(std::move(key), *it);
  }
  std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
    int c = a.first.compare(b.first);
    if (c == 0 && a.second != b.second) {
      c = CompareNoCase(SortKey(messages, a.second), SortKey(messages, b.second));
    }
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
  std::string key(messages.titleRss[i]);
  const std::string_view date = messages.pubDate[i];
  DateTime v;
  if (!ParseDate(date, v)) {
    if (date.size() > 5) key.append(date.substr(4, date.size() - 5));
  } else if (v.year < 0 || v.year > 9999) {
    key += FormatNormalised(v);
  } else {
    // FormatNormalised's text, without going through printf.
    const int pairs[7] = {v.year / 100, v.year % 100, v.month, v.day, v.hour, v.minute, v.second};
    const char* layout = "yyyy:mm:ddhh:nn:ss";
    char text[18];
    for (int at = 0, p = 0; at < 18; ++at) {
      if (layout[at] == ':') {
        text[at] = ':';
        continue;
      }
      text[at] = static_cast<char>('0' + pairs[p] / 10);
      text[++at] = static_cast<char>('0' + pairs[p++] % 10);
    }
    key.append(text, 18);
  }
  return key;
}

void SortByChannelAndDate(const MessageList& messages, std::vector<int>& list) {
  // Distinct titles, in collation order.
  std::unordered_map<std::string_view, uint32_t> titleIds;
  std::vector<std::string_view> titles;
  // Each element's title, then its cluster, as a 16-bit number while there are few enough
  // titles: looking a title up again would touch its text, far away in memory, every time.
  std::vector<uint16_t> tags;
  tags.reserve(list.size());
  bool tagged = true;
  for (int n : list) {
    auto [it, added] = titleIds.try_emplace(messages.titleRss[static_cast<size_t>(n)],
                                            static_cast<uint32_t>(titles.size()));
    if (added) titles.push_back(it->first);
    tagged = tagged && it->second <= std::numeric_limits<uint16_t>::max();
    if (tagged) tags.push_back(static_cast<uint16_t>(it->second));
  }
  if (!tagged) tags = {};
  // Titles that keep characters as references compare by the characters they show: then
  // every title compares by its ranks (titles are few next to messages).
  std::vector<std::string> decoded;
  if (std::any_of(titles.begin(), titles.end(), HasAmpersand)) {
    decoded.resize(titles.size());
    for (size_t i = 0; i < titles.size(); ++i) AppendDecodedRanks(decoded[i], titles[i]);
  }
  auto compare = [&](uint32_t a, uint32_t b) {
    const int c = decoded.empty() ? 0 : decoded[a].compare(decoded[b]);
    return c != 0 ? c : CompareNoCase(titles[a], titles[b]);
  };
  auto isPrefix = [&](uint32_t a, uint32_t b) {
    return decoded.empty() ? WeighsAsPrefix(titles[a], titles[b])
                           : std::string_view(decoded[b]).starts_with(decoded[a]);
  };
  std::vector<uint32_t> order(titles.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    const int c = compare(a, b);
    return c != 0 ? c < 0 : a < b;
  });

  // Keys compare by title alone except between titles one of which weighs as the start of the
  // other: then the dates of the shorter meet the letters of the longer. Such titles form one
  // cluster, sorted by whole keys; a cluster of one channel is sorted by date.
  std::vector<uint32_t> clusterOf(titles.size());
  std::vector<bool> oneChannel;
  size_t root = 0;
  for (size_t k = 0; k < order.size(); ++k) {
    if (k == 0 || !isPrefix(order[root], order[k])) {
      root = k;
      oneChannel.push_back(true);
    } else if (compare(order[root], order[k]) != 0) {
      oneChannel.back() = false;
    }
    clusterOf[order[k]] = static_cast<uint32_t>(oneChannel.size() - 1);
  }

  // Group the list by cluster in place (a counting sort that swaps elements into their
  // cluster's range), then sort each cluster on its own.
  std::string_view lastTitle;
  uint32_t lastCluster = 0;
  auto cluster = [&](int n) {
    const std::string_view title = messages.titleRss[static_cast<size_t>(n)];
    if (title.data() != lastTitle.data() || title != lastTitle) {
      lastCluster = clusterOf[titleIds.find(title)->second];
      lastTitle = title;
    }
    return lastCluster;
  };
  std::vector<size_t> start(oneChannel.size() + 1, 0);
  if (!tags.empty()) {
    for (uint16_t& tag : tags) tag = static_cast<uint16_t>(clusterOf[tag]);
    for (uint16_t tag : tags) ++start[tag + 1u];
  } else {
    for (int n : list) ++start[cluster(n) + 1];
  }
  for (size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  std::vector<size_t> next(start.begin(), start.end() - 1);
  for (size_t c = 0; c < oneChannel.size(); ++c) {
    while (next[c] < start[c + 1]) {
      const size_t at = next[c];
      const uint32_t home = tags.empty() ? cluster(list[at]) : tags[at];
      if (home == c) {
        ++next[c];
        continue;
      }
      const size_t to = next[home]++;
      std::swap(list[at], list[to]);
      if (!tags.empty()) std::swap(tags[at], tags[to]);
    }
  }
  tags = {};
  for (size_t c = 0; c < oneChannel.size(); ++c) {
    auto b = list.begin() + static_cast<long>(start[c]);
    auto e = list.begin() + static_cast<long>(start[c + 1]);
    if (oneChannel[c]) {
      SortByDate(messages, b, e);
    } else {
      SortByKeys(messages, b, e);
    }
  }
}

}  // namespace vorlin
