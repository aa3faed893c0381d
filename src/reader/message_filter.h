// Picking messages out of the loaded list: the channel restriction, then (when the filter is
// on) the four query fields, the publication-date range and the read test.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "reader/query.h"
#include "store/key_index.h"
#include "store/message_list.h"
#include "util/rss_date.h"

namespace vorlin {

// What the search page's controls hold, as plain values.
struct SearchSettings {
  std::vector<std::string> selectedChannels;  // lines of `ListBoxChannel`
  bool useFilter = false;                     // `CBoxSetFiler`
  // `EditSChannels`, `EditSTitle`, `EditSDescription`, `EditSLink`, in testing order.
  std::array<std::string, 4> queries;
  bool rangeActive = false;  // `CBoxSDataPub` not on "любой (any)"
  DateTime rangeStart;       // 00:00:00 of the start date
  DateTime rangeEnd;         // 23:59:00 of the end date
  bool withoutRead = false;  // `CheckBoxReadMes`
};

// The message fields the four query fields are tested against, in the same order.
inline constexpr std::array<Field, 4> kQueryFields = {kTitleRss, kTitle, kDescription, kLink};

// The filter prepared once per search.
class MessageFilter {
 public:
  MessageFilter(const SearchSettings& settings, const MessageList& messages,
                const KeyIndex& readIndex);
  // True when message n passes the query fields, the date range and the read test.
  bool PassesFilter(int n) const;

 private:
  const MessageList& messages_;
  const KeyIndex& readIndex_;
  std::array<bool, 4> tested_{};
  std::array<CompiledQuery, 4> queries_;
  bool rangeActive_;
  DateTime start_;
  DateTime end_;
  bool withoutRead_;
};

// The found set: message numbers in store order.
std::vector<int> SelectMessages(const MessageList& messages, const SearchSettings& settings,
                                const KeyIndex& readIndex);

// The simple search: the found set sorted by channel and date, ready for the message list.
// The accumulator it uses as its working area is left empty.
class Accumulator;
std::vector<int> SimpleSearch(const MessageList& messages, const SearchSettings& settings,
                              const KeyIndex& readIndex, Accumulator& accumulator);

// Orders two date-time values; <0, 0 or >0.
int CompareDateTime(const DateTime& a, const DateTime& b);

// "Найдено(Found) " followed by the count.
std::string FoundStatusText(size_t count);

}  // namespace vorlin
