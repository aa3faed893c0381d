// The item walk over a parsed feed: every complete item becomes the store text of one new
// message, unless the store index already knows its description.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "store/key_index.h"
#include "store/message_list.h"

struct _xmlNode;

namespace vorlin {

struct FeedEntry;

// Extraction state of one run. The walk is positional: in the usual layout the rss element
// stands at depth 0, channel at 1, the channel's title and its items at 2, the text of the
// channel's title and the item fields at 3, and the text inside the item fields at 4.
class ItemExtractor {
 public:
  // With `uniqueOnly`, a complete item whose message key is in `storeIndex` is dropped and the
  // key of every kept item is added to it.
  ItemExtractor(bool uniqueOnly, KeyIndex& storeIndex);

  // Keeps items without a date (option "Сохранять сообщения без даты"), dated `runDate`
  // (Windows-1251, the store's date form); empty, such items give no message.
  void KeepUndated(std::string runDate) { undatedDate_ = std::move(runDate); }

  // Before each file: depth 0, empty channel title, empty item fields, flags clear.
  void ResetFileState();

  // Walks one list of sibling nodes (the document's own children at depth 0):
  //  * a node without children gives its text (an empty element the empty text) and the name
  //    of its parent element; at depth 3 under "title" it becomes the channel title; at depth
  //    4 under "title", "link", "description" or "pubDate" it sets that item field; after
  //    every such leaf at depth 4 a complete item (all four fields) is tested and appended;
  //  * a node with children at depth 2 starts with empty item fields; its children are walked
  //    one level deeper.
  // An item dropped by the uniqueness test keeps its fields, so later leaves of the same
  // element repeat the test. With KeepUndated, an "item" element at depth 2 that ends with
  // title, link and description but no date is kept with the run's date.
  // Values keep characters the code page lacks as references (Utf8ToCp1251Refs).
  void WalkNodes(_xmlNode* first);

  // One entry of an Atom or RDF feed: an entry without a description takes its title as the
  // description (so that it has a key); one without a date is kept only with KeepUndated.
  void AddEntry(const FeedEntry& entry);

  // Store text of the messages kept so far (item blocks with escaped values, CR LF).
  const std::string& NewItemText() const { return newItemText_; }
  int NewMessages() const { return newMessages_; }
  // Keys added to the store index so far, so that a failed run can take them back.
  const std::vector<std::string>& AddedKeys() const { return addedKeys_; }

 private:
  enum ItemField { kItemTitle, kItemLink, kItemDescription, kItemPubDate, kItemFieldCount };
  static constexpr unsigned kAllItemFields = (1u << kItemFieldCount) - 1;

  void Leaf(_xmlNode* node);
  void ClearItem();
  void ItemComplete();
  bool Keep(const MessageValues& values);

  bool uniqueOnly_;
  KeyIndex& storeIndex_;
  std::string undatedDate_;
  int depth_ = 0;
  std::string channelTitle_;
  std::array<std::string, kItemFieldCount> fields_;
  unsigned flags_ = 0;
  std::string newItemText_;
  int newMessages_ = 0;
  std::vector<std::string> addedKeys_;
};

}  // namespace vorlin
