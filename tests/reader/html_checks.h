// What a sanitised description must not hold, read back through libxml2's HTML parser: shared by
// the sanitiser's tests and its fuzz target.
#pragma once

#include <libxml/HTMLparser.h>

#include <string>
#include <string_view>

#include "util/cp1251.h"

namespace vorlin::test {

inline std::string Lowered(std::string_view s) {
  std::string out;
  for (char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b > ' ' && b != 0x7F) out += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
  }
  return out;
}

inline std::string ActiveIn(const xmlNode* node) {
  for (; node != nullptr; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string name = Lowered(reinterpret_cast<const char*>(node->name));
    for (const char* active : {"script", "style", "iframe", "frame", "object", "embed", "applet",
                               "form", "input", "meta", "link", "base", "svg", "math"}) {
      if (name == active) return "element " + name;
    }
    for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
      const std::string attr = Lowered(reinterpret_cast<const char*>(a->name));
      if (attr.rfind("on", 0) == 0 || attr == "style" || attr == "srcdoc") {
        return "attribute " + attr;
      }
      xmlChar* raw = xmlNodeListGetString(node->doc, a->children, 1);
      const std::string value = Lowered(raw != nullptr ? reinterpret_cast<char*>(raw) : "");
      xmlFree(raw);
      for (const char* scheme : {"javascript:", "vbscript:", "data:", "livescript:"}) {
        if (value.rfind(scheme, 0) == 0) return "address " + value;
      }
    }
    std::string inner = ActiveIn(node->children);
    if (!inner.empty()) return inner;
  }
  return {};
}

// The first active thing in `html` (Windows-1251), or an empty text.
inline std::string ActiveContent(std::string_view html) {
  std::string utf8 = Cp1251ToUtf8(html);
  for (char& c : utf8) c = c == '\0' ? ' ' : c;  // where the parser would stop
  htmlDocPtr doc = htmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                                  HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                      HTML_PARSE_NONET | HTML_PARSE_NODEFDTD);
  if (doc == nullptr) return {};
  std::string found = ActiveIn(doc->children);
  xmlFreeDoc(doc);
  return found;
}

}  // namespace vorlin::test
