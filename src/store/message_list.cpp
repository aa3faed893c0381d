#include "store/message_list.h"

#include <utility>

namespace vorlin {

void MessageList::Clear() {
  // Release the memory too: a cleared list may be followed by a much smaller store.
  MessageList empty;
  Swap(empty);
}

void MessageList::Add(MessageValues&& v) {
  titleRss.push_back(std::move(v[kTitleRss]));
  title.push_back(std::move(v[kTitle]));
  link.push_back(std::move(v[kLink]));
  description.push_back(std::move(v[kDescription]));
  pubDate.push_back(std::move(v[kPubDate]));
  ++count;
}

MessageValues MessageList::Get(int i) const {
  auto n = static_cast<size_t>(i);
  return {titleRss[n], title[n], link[n], description[n], pubDate[n]};
}

void MessageList::Swap(MessageList& other) noexcept {
  titleRss.swap(other.titleRss);
  title.swap(other.title);
  link.swap(other.link);
  description.swap(other.description);
  pubDate.swap(other.pubDate);
  std::swap(count, other.count);
}

}  // namespace vorlin
