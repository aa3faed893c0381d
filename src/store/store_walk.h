// The walk that turns a store into messages, streamed: the wrapped store (header, the file in
// blocks, footer) goes through libxml2's SAX parser and no document tree is built. The walk
// gives the same messages as walking the parsed document node by node:
//
//  * depths: the rss element 0, channel 1, item 2, field elements 3, field text 4;
//  * a node without children at depth 4 whose parent element is named (case-sensitively)
//    titleRss, title, link, description or pubDate sets that field; a later one replaces it;
//  * an element with children at depth 2 starts a new item (values and flags cleared);
//  * whitespace-only text nodes do not exist; an empty CDATA section is a child with empty
//    text; an element without children has empty text; adjacent CDATA sections are one node
//    (libxml2's document tree merges them too, so "a" then "b" gives "ab", not "b");
//  * once every required field is set, the item is handed over and values and flags cleared.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "store/message_list.h"

namespace vorlin {

inline constexpr unsigned kAllFields = (1u << kFieldCount) - 1;
// The store index needs no channel title.
inline constexpr unsigned kIndexFields = kAllFields & ~(1u << kTitleRss);

// Receives each complete item; may move the values out. Must not throw past the walk.
using ItemSink = std::function<void(MessageValues& values)>;

class StoreWalk {
 public:
  // `docName` (UTF-8) names the document in error messages.
  StoreWalk(unsigned requiredFields, ItemSink sink, std::string docName);
  ~StoreWalk();
  StoreWalk(const StoreWalk&) = delete;
  StoreWalk& operator=(const StoreWalk&) = delete;

  // Feeds the next bytes of the store (the header was fed on construction). Throws Error with
  // the parser's message, line and column when the text is not well-formed.
  void Feed(std::string_view bytes);
  // Feeds the footer and ends the document.
  void Finish();

 private:
  class Impl;
  // Throws for a control character (no XML text may hold one) with its line and column; the
  // parser would report it as a fault of its own encoding, at the start of the value.
  void CheckControlCharacters(std::string_view bytes);

  std::unique_ptr<Impl> impl_;
  std::string docName_;
  std::string utf8_;      // the current block, converted
  std::string heldBack_;  // trailing "]" bytes of the previous block
  int64_t line_ = 1;      // of the next byte fed
  int64_t column_ = 1;
};

// Walks a store file, reading it in blocks. Throws Error when the file cannot be opened or
// read, or its text is not well-formed.
void WalkStoreFile(std::string_view storeName, unsigned requiredFields, const ItemSink& sink);

// Walks store bytes held in memory.
void WalkStoreText(std::string_view storeBytes, unsigned requiredFields, const ItemSink& sink,
                   const std::string& docName = "store");

}  // namespace vorlin
