// The loaded messages: five parallel field columns in store order. A message is known
// everywhere by its number, its 0-based position in these columns.
//
// A store read on the fast path is kept as one buffer of its bytes, and most values are spans
// of that buffer: the load makes no copy per value. Values that had to be rewritten (line ends
// read as the XML parser reads them), values read through the XML walk and messages added
// later are held as strings of their own.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

enum Field { kTitleRss = 0, kTitle, kLink, kDescription, kPubDate, kFieldCount };

// The five values of one message, in field order.
using MessageValues = std::array<std::string, kFieldCount>;

// The store's tag of each field, in field order.
inline constexpr std::array<const char*, kFieldCount> kFieldTags = {"titleRss", "title", "link",
                                                                    "description", "pubDate"};

// One field of every message. Each value is one 64-bit cell: a span of the shared buffer
// (offset and length) or the number of a string of the column's own.
class FieldColumn {
 public:
  std::string_view operator[](size_t i) const {
    const uint64_t cell = cells_[i];
    if ((cell & kOwned) != 0) return owned_[static_cast<size_t>(cell & ~kOwned)];
    return {base_ + (cell & kOffsetMask), static_cast<size_t>(cell >> kOffsetBits)};
  }
  size_t size() const { return cells_.size(); }
  // Whether value i is a span of the list's buffer (not a string of the column's own).
  bool IsSpan(size_t i) const { return (cells_[i] & kOwned) == 0; }
  // Every value, copied.
  std::vector<std::string> Strings() const;
  // The longest value and the largest offset a span can hold; anything beyond is copied.
  static constexpr int kOffsetBits = 40;
  static constexpr uint64_t kOffsetMask = (uint64_t{1} << kOffsetBits) - 1;
  static constexpr size_t kMaxSpan = (size_t{1} << (63 - kOffsetBits)) - 1;

  // Appends a value of its own.
  void PushOwned(std::string value);
  // Appends the span [offset, offset + length) of the buffer at `base` (the list's buffer).
  void PushSpan(const char* base, size_t offset, size_t length);
  // Appends `other`'s values, taking its own strings; both columns span the same buffer.
  void TakeAppend(FieldColumn& other);
  void Reserve(size_t n) { cells_.reserve(n); }
  void Rebase(const char* base) { base_ = base; }

 private:
  static constexpr uint64_t kOwned = uint64_t{1} << 63;

  const char* base_ = nullptr;
  std::vector<uint64_t> cells_;
  std::vector<std::string> owned_;
};

struct MessageList {
  FieldColumn titleRss;
  FieldColumn title;
  FieldColumn link;
  FieldColumn description;
  FieldColumn pubDate;
  int count = 0;
  // The store bytes the spans point into (shared by copies of the list).
  std::shared_ptr<const char[]> buffer;

  int Count() const { return count; }
  const FieldColumn& Column(Field f) const;
  FieldColumn& Column(Field f);
  void Clear();
  // Appends one message, taking the values.
  void Add(MessageValues&& values);
  // Appends message `i` of `other`, copying its values.
  void AddFrom(const MessageList& other, int i);
  MessageValues Get(int i) const;
  void Swap(MessageList& other) noexcept;
  // False when the store the list spans was cut short by another program since the load, so
  // that some values now read as zero bytes: nothing may then be written from the list.
  bool Intact() const;
  // Makes the list span `bytes` (for a list without messages).
  void Adopt(std::shared_ptr<const char[]> bytes);
};

}  // namespace vorlin
