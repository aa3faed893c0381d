#include "ingest/item_extraction.h"

#include <libxml/tree.h>

#include <cstring>

#include "ingest/atom_rdf_reader.h"
#include "store/crc32.h"
#include "store/message_list.h"
#include "store/store_format.h"
#include "util/cp1251.h"
#include "util/text_utils.h"

namespace vorlin {
namespace {

constexpr std::array<const char*, 4> kItemTags = {"title", "link", "description", "pubDate"};

const char* Chars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

// The name of the parent element as written in the file; a prefixed name never equals one of
// the plain tags, so a prefixed parent gives no name at all.
const char* ParentName(const xmlNode* node) {
  const xmlNode* parent = node->parent;
  if (parent == nullptr || parent->type != XML_ELEMENT_NODE || parent->name == nullptr) {
    return "";
  }
  if (parent->ns != nullptr && parent->ns->prefix != nullptr) return "";
  return Chars(parent->name);
}

std::string TrimBlanks(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

}  // namespace

ItemExtractor::ItemExtractor(bool uniqueOnly, KeyIndex& storeIndex)
    : uniqueOnly_(uniqueOnly), storeIndex_(storeIndex) {}

void ItemExtractor::ResetFileState() {
  depth_ = 0;
  channelTitle_.clear();
  ClearItem();
}

void ItemExtractor::ClearItem() {
  for (auto& f : fields_) f.clear();
  flags_ = 0;
}

void ItemExtractor::WalkNodes(_xmlNode* first) {
  for (xmlNode* node = first; node != nullptr; node = node->next) {
    // The document type and its declarations are no part of the content.
    if (node->type == XML_DTD_NODE) continue;
    const bool hasChildren = node->children != nullptr && node->type != XML_ENTITY_REF_NODE &&
                             node->type != XML_ATTRIBUTE_NODE;
    if (!hasChildren) {
      Leaf(node);
      continue;
    }
    if (depth_ == 2) ClearItem();
    ++depth_;
    WalkNodes(node->children);
    --depth_;
    if (depth_ == 2 && !undatedDate_.empty() && flags_ == kAllItemFields - (1u << kItemPubDate) &&
        node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
        std::strcmp(Chars(node->name), "item") == 0) {
      fields_[kItemPubDate] = undatedDate_;
      flags_ = kAllItemFields;
      ItemComplete();
    }
  }
}

void ItemExtractor::Leaf(_xmlNode* node) {
  if (depth_ != 3 && depth_ != 4) return;
  const char* parent = ParentName(node);
  auto text = [node] {
    std::string value;
    if (node->type != XML_ELEMENT_NODE && node->type != XML_ENTITY_REF_NODE &&
        node->content != nullptr) {
      AppendUtf8AsCp1251Refs(value, Chars(node->content));
    }
    return value;
  };
  if (depth_ == 3) {
    if (std::strcmp(parent, "title") == 0) channelTitle_ = text();
    return;
  }
  for (size_t f = 0; f < kItemTags.size(); ++f) {
    if (std::strcmp(parent, kItemTags[f]) != 0) continue;
    std::string value = text();
    // Pretty-printed feeds put the address on a line of its own; the white space around it is
    // no part of it.
    if (f == kItemLink) value = TrimBlanks(value);
    fields_[f] = std::move(value);
    flags_ |= 1u << f;
    break;
  }
  if (flags_ == kAllItemFields) ItemComplete();
}

void ItemExtractor::ItemComplete() {
  if (Keep({channelTitle_, fields_[kItemTitle], fields_[kItemLink], fields_[kItemDescription],
            fields_[kItemPubDate]})) {
    ClearItem();
  }
}

void ItemExtractor::AddEntry(const FeedEntry& entry) {
  std::string date = Utf8ToCp1251Refs(entry.date);
  if (date.empty()) date = undatedDate_;
  if (date.empty()) return;
  const std::string title = Utf8ToCp1251Refs(entry.title);
  Keep({Utf8ToCp1251Refs(entry.channelTitle), title, Utf8ToCp1251Refs(entry.link),
        entry.description.empty() ? title : Utf8ToCp1251Refs(entry.description), date});
}

bool ItemExtractor::Keep(const MessageValues& values) {
  if (uniqueOnly_) {
    // The key is taken over the description as a load of the store will give it back
    // (escaped, line ends read as LF), so that a key made now and one made after loading or
    // rebuilding the index agree.
    std::string loaded = EscapeCData(values[kDescription]);
    NormaliseLineEndsToLf(loaded);
    std::string key = MessageKey(loaded);
    if (!key.empty()) {
      if (storeIndex_.Contains(key)) return false;
      storeIndex_.Add(key);
      addedKeys_.push_back(std::move(key));
    }
  }
  WriteItemBlock(newItemText_, values, /*escape=*/true);
  ++newMessages_;
  return true;
}

}  // namespace vorlin
