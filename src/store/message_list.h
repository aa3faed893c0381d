// The loaded messages: five parallel field lists in store order. A message is known
// everywhere by its number, its 0-based position in these lists.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vorlin {

enum Field { kTitleRss = 0, kTitle, kLink, kDescription, kPubDate, kFieldCount };

// The five values of one message, in field order.
using MessageValues = std::array<std::string, kFieldCount>;

// The store's tag of each field, in field order.
inline constexpr std::array<const char*, kFieldCount> kFieldTags = {"titleRss", "title", "link",
                                                                    "description", "pubDate"};

struct MessageList {
  std::vector<std::string> titleRss;
  std::vector<std::string> title;
  std::vector<std::string> link;
  std::vector<std::string> description;
  std::vector<std::string> pubDate;
  int count = 0;

  int Count() const { return count; }
  void Clear();
  // Appends one message, taking the values.
  void Add(MessageValues&& values);
  MessageValues Get(int i) const;
  void Swap(MessageList& other) noexcept;
};

}  // namespace vorlin
