#include "store/message_list.h"

#include <utility>

#include "store/store_map.h"

namespace vorlin {

void FieldColumn::PushOwned(std::string value) {
  cells_.push_back(kOwned | owned_.size());
  owned_.push_back(std::move(value));
}

void FieldColumn::PushSpan(const char* base, size_t offset, size_t length) {
  if (length > kMaxSpan || offset > kOffsetMask) {
    PushOwned(std::string(base + offset, length));
  } else {
    cells_.push_back(uint64_t{length} << kOffsetBits | offset);
  }
}

std::vector<std::string> FieldColumn::Strings() const {
  std::vector<std::string> values;
  values.reserve(size());
  for (size_t i = 0; i < size(); ++i) values.emplace_back((*this)[i]);
  return values;
}

void FieldColumn::TakeAppend(FieldColumn& other) {
  const uint64_t shift = owned_.size();
  for (const uint64_t cell : other.cells_) {
    cells_.push_back((cell & kOwned) != 0 ? cell + shift : cell);
  }
  owned_.insert(owned_.end(), std::make_move_iterator(other.owned_.begin()),
                std::make_move_iterator(other.owned_.end()));
  // `other` keeps its room: the load fills it again with the next stretch.
  other.cells_.clear();
  other.owned_.clear();
}

const FieldColumn& MessageList::Column(Field f) const {
  const FieldColumn* columns[kFieldCount] = {&titleRss, &title, &link, &description, &pubDate};
  return *columns[f];
}

FieldColumn& MessageList::Column(Field f) {
  return const_cast<FieldColumn&>(std::as_const(*this).Column(f));
}

void MessageList::Clear() {
  // Release the memory too: a cleared list may be followed by a much smaller store.
  MessageList empty;
  Swap(empty);
}

void MessageList::Add(MessageValues&& v) {
  for (int f = 0; f < kFieldCount; ++f) Column(Field(f)).PushOwned(std::move(v[f]));
  ++count;
}

void MessageList::AddFrom(const MessageList& other, int i) {
  const auto n = static_cast<size_t>(i);
  for (int f = 0; f < kFieldCount; ++f) {
    Column(Field(f)).PushOwned(std::string(other.Column(Field(f))[n]));
  }
  ++count;
}

MessageValues MessageList::Get(int i) const {
  const auto n = static_cast<size_t>(i);
  MessageValues values;
  for (int f = 0; f < kFieldCount; ++f) values[f] = std::string(Column(Field(f))[n]);
  return values;
}

void MessageList::Swap(MessageList& other) noexcept {
  std::swap(titleRss, other.titleRss);
  std::swap(title, other.title);
  std::swap(link, other.link);
  std::swap(description, other.description);
  std::swap(pubDate, other.pubDate);
  std::swap(count, other.count);
  buffer.swap(other.buffer);
}

bool MessageList::Intact() const { return !MappingCut(buffer.get()); }

void MessageList::Adopt(std::shared_ptr<const char[]> bytes) {
  buffer = std::move(bytes);
  for (int f = 0; f < kFieldCount; ++f) Column(Field(f)).Rebase(buffer.get());
}

}  // namespace vorlin
