// Whatever a feed writes, the sanitised description, read back by libxml2's HTML parser, holds
// no script, style, frame, object, form, meta, link, base, svg or math element, no event, style
// or srcdoc attribute and no javascript:, vbscript: or data: address; and the text made for the
// views holds no script or style element.
#include <libxml/HTMLparser.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reader/html_sanitizer.h"
#include "util/cp1251.h"

namespace {

std::string Lowered(const xmlChar* s) {
  std::string out;
  for (; s != nullptr && *s != 0; ++s) {
    if (*s > ' ' && *s != 0x7F) out += static_cast<char>(*s >= 'A' && *s <= 'Z' ? *s + 32 : *s);
  }
  return out;
}

const char* Active(const xmlNode* node) {
  static const char* const kElements[] = {"script", "style",  "iframe", "frame", "object",
                                          "embed",  "applet", "form",   "input", "meta",
                                          "link",   "base",   "svg",    "math"};
  for (; node != nullptr; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string name = Lowered(node->name);
    if (std::find(std::begin(kElements), std::end(kElements), name) != std::end(kElements)) {
      return "element";
    }
    for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
      const std::string attr = Lowered(a->name);
      if (attr.rfind("on", 0) == 0 || attr == "style" || attr == "srcdoc") return "attribute";
      if (attr == "title" || attr == "alt") continue;  // text, not an address
      xmlChar* raw = xmlNodeListGetString(node->doc, a->children, 1);
      const std::string value = Lowered(raw);
      xmlFree(raw);
      for (const char* scheme : {"javascript:", "vbscript:", "data:"}) {
        if (value.rfind(scheme, 0) == 0) return "address";
      }
    }
    if (const char* inner = Active(node->children)) return inner;
  }
  return nullptr;
}

bool HasScript(const xmlNode* node) {
  for (; node != nullptr; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string name = Lowered(node->name);
    if (name == "script" || name == "style" || HasScript(node->children)) return true;
  }
  return false;
}

htmlDocPtr Read(const std::string& cp1251) {
  std::string utf8 = vorlin::Cp1251ToUtf8(cp1251);
  std::replace(utf8.begin(), utf8.end(), '\0', ' ');  // the parser would stop there
  return htmlReadMemory(
      utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
      HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string html(reinterpret_cast<const char*>(data), size);
  const std::string out = vorlin::SanitizeHtml(html);
  htmlDocPtr doc = Read(out);
  const char* active = doc != nullptr ? Active(doc->children) : nullptr;
  xmlFreeDoc(doc);
  if (active != nullptr) {
    std::fprintf(stderr, "%s left in: %s\n", active, out.c_str());
    std::abort();
  }
  const std::string text = vorlin::WithoutScripts(html);
  doc = Read(text);
  const bool script = doc != nullptr && HasScript(doc->children);
  xmlFreeDoc(doc);
  if (script) {
    std::fprintf(stderr, "script left in: %s\n", text.c_str());
    std::abort();
  }
  return 0;
}
