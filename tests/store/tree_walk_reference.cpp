#include "tree_walk_reference.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>

#include "store/store_format.h"
#include "util/cp1251.h"

namespace vorlin::test {
namespace {

bool WhitespaceOnly(const xmlChar* s) {
  const char* text = reinterpret_cast<const char*>(s);
  return text == nullptr || text[std::strspn(text, " \t\r\n")] == 0;
}

void DropBlankText(xmlNodePtr node) {
  for (xmlNodePtr child = node->children; child != nullptr;) {
    xmlNodePtr next = child->next;
    if (child->type == XML_TEXT_NODE && WhitespaceOnly(child->content)) {
      xmlUnlinkNode(child);
      xmlFreeNode(child);
    } else {
      DropBlankText(child);
    }
    child = next;
  }
}

std::string QualifiedName(xmlNodePtr n) {
  std::string name = reinterpret_cast<const char*>(n->name);
  if (n->ns != nullptr && n->ns->prefix != nullptr) {
    name = std::string(reinterpret_cast<const char*>(n->ns->prefix)) + ":" + name;
  }
  return name;
}

void Quiet(void*, const char*, ...) {}

struct Walker {
  unsigned required;
  std::vector<MessageValues> items;
  MessageValues values;
  unsigned flags = 0;
  int depth = 0;

  void Walk(xmlNodePtr first) {
    for (xmlNodePtr node = first; node != nullptr; node = node->next) {
      if (node->children == nullptr) {
        if (depth == 4 && node->parent != nullptr && node->parent->type == XML_ELEMENT_NODE) {
          std::string parent = QualifiedName(node->parent);
          for (int f = 0; f < kFieldCount; ++f) {
            if (parent != kFieldTags[static_cast<size_t>(f)]) continue;
            xmlChar* content = xmlNodeGetContent(node);
            values[static_cast<size_t>(f)] =
                Utf8ToCp1251(content != nullptr ? reinterpret_cast<const char*>(content) : "");
            xmlFree(content);
            flags |= 1u << f;
            if ((flags & required) == required) {
              items.push_back(values);
              values = MessageValues();
              flags = 0;
            }
          }
        }
      } else {
        if (depth == 2) {
          values = MessageValues();
          flags = 0;
        }
        ++depth;
        Walk(node->children);
        --depth;
      }
    }
  }
};

}  // namespace

std::optional<std::vector<MessageValues>> TreeWalk(const std::string& storeBytes,
                                                   unsigned requiredFields) {
  // The store read as Windows-1251 with its unassigned byte as the replacement character: the
  // program's codec, which the codec's tests hold to iconv for every assigned byte.
  const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel>" +
                           Cp1251ToUtf8(storeBytes) + std::string(kWrapFooter);
  xmlSetGenericErrorFunc(nullptr, &Quiet);
  xmlDocPtr doc =
      xmlReadMemory(text.data(), static_cast<int>(text.size()), "store", nullptr,
                    XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) return std::nullopt;
  DropBlankText(reinterpret_cast<xmlNodePtr>(doc));
  Walker walker{requiredFields, {}, {}, 0, 0};
  walker.Walk(doc->children);
  xmlFreeDoc(doc);
  return walker.items;
}

}  // namespace vorlin::test
