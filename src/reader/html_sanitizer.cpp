#include "reader/html_sanitizer.h"

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <memory>

#include "util/cp1251.h"
#include "util/text_utils.h"

namespace vorlin {
namespace {

// kFrame: the html, head and body elements the parser puts around every text, unwrapped.
enum class Action { kKeep, kDrop, kDropVoid, kUnwrap, kFrame };

constexpr std::string_view kKeep[] = {
    "a",          "abbr",  "acronym", "address", "b",    "bdi",  "bdo",   "big",
    "blockquote", "br",    "caption", "center",  "cite", "code", "col",   "colgroup",
    "dd",         "del",   "dfn",     "div",     "dl",   "dt",   "em",    "figcaption",
    "figure",     "font",  "h1",      "h2",      "h3",   "h4",   "h5",    "h6",
    "hr",         "i",     "img",     "ins",     "kbd",  "li",   "mark",  "ol",
    "p",          "pre",   "q",       "rp",      "rt",   "ruby", "s",     "samp",
    "small",      "span",  "strike",  "strong",  "sub",  "sup",  "table", "tbody",
    "td",         "tfoot", "th",      "thead",   "tr",   "tt",   "u",     "ul",
    "var",        "wbr"};
constexpr std::string_view kDrop[] = {"applet", "button",   "datalist", "form",     "frameset",
                                      "iframe", "math",     "object",   "optgroup", "option",
                                      "output", "portal",   "script",   "select",   "style",
                                      "svg",    "template", "textarea", "xml"};
// Dropped too, but these never hold anything: what the parser hung below them follows them.
constexpr std::string_view kDropVoid[] = {"base",   "embed", "frame", "input", "isindex",
                                          "keygen", "link",  "meta",  "param"};
constexpr std::string_view kAttributes[] = {"align",   "alt",    "cite",  "colspan",
                                            "dir",     "height", "href",  "lang",
                                            "rowspan", "src",    "title", "width"};

template <size_t N>
bool Listed(std::string_view name, const std::string_view (&list)[N]) {
  return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

Action Classify(std::string_view name) {
  if (Listed(name, kDrop)) return Action::kDrop;
  if (Listed(name, kDropVoid)) return Action::kDropVoid;
  if (Listed(name, kKeep)) return Action::kKeep;
  if (name == "html" || name == "head" || name == "body") return Action::kFrame;
  return Action::kUnwrap;
}

std::string_view Name(const xmlChar* name) {
  return name != nullptr ? std::string_view(reinterpret_cast<const char*>(name)) : "";
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Parser complaints that cannot make a browser see markup the tree lacks: unknown (newer)
// elements, end tags that close nothing or the wrong thing, and a stray "&" in text.
bool Harmless(int code) {
  return code == XML_HTML_UNKNOWN_TAG || code == XML_ERR_TAG_NAME_MISMATCH ||
         code == XML_ERR_ENTITYREF_SEMICOL_MISSING;
}

struct Walk {
  bool changed = false;
  bool frameOnly = false;  // only unwrap html, head and body

  void Attributes(xmlNode* node, bool none) {
    for (xmlAttr* attr = node->properties; attr != nullptr;) {
      xmlAttr* next = attr->next;
      const std::string name = Lower(Name(attr->name));
      bool keep = !none && attr->ns == nullptr && Listed(name, kAttributes);
      if (keep && (name == "href" || name == "src" || name == "cite")) {
        xmlChar* value = xmlNodeListGetString(node->doc, attr->children, 1);
        keep = IsSafeUrl(Name(value), true);
        xmlFree(value);
      }
      if (!keep) {
        xmlRemoveProp(attr);
        changed = true;
      }
      attr = next;
    }
  }

  void Children(xmlNode* parent) {
    for (xmlNode* node = parent->children; node != nullptr;) {
      xmlNode* next = node->next;
      if (node->type == XML_TEXT_NODE) {
        node = next;
        continue;
      }
      if (node->type != XML_ELEMENT_NODE) {  // comments, processing instructions, doctypes
        if (!frameOnly) Remove(node);
        node = next;
        continue;
      }
      const std::string name = Lower(Name(node->name));
      Action action = Classify(name);
      if (frameOnly && action != Action::kFrame) action = Action::kKeep;
      if (action == Action::kDrop) {
        Remove(node);
        node = next;
        continue;
      }
      if (!frameOnly) Attributes(node, action == Action::kFrame);
      Children(node);
      if (action != Action::kKeep) {
        while (node->children != nullptr) {
          xmlNode* child = node->children;
          xmlUnlinkNode(child);
          xmlAddPrevSibling(node, child);
        }
        const bool before = changed;
        Remove(node);
        if (action == Action::kFrame) changed = before;
      }
      node = next;
    }
  }

  void Remove(xmlNode* node) {
    xmlUnlinkNode(node);
    xmlFreeNode(node);
    changed = true;
  }
};

// The parser's error channel; the error's code is in the context by then.
void OnParserError(void* data, const char*, ...) {
  auto* ctxt = static_cast<xmlParserCtxt*>(data);
  if (!Harmless(ctxt->errNo)) *static_cast<bool*>(ctxt->_private) = true;
}

// The tree in Windows-1251; a character the code page lacks becomes a numeric reference.
std::string Serialize(xmlDoc* doc) {
  std::unique_ptr<xmlOutputBuffer, decltype(&xmlOutputBufferClose)> buffer(
      xmlAllocOutputBuffer(nullptr), &xmlOutputBufferClose);
  if (buffer == nullptr) throw std::bad_alloc();
  for (xmlNode* node = doc->children; node != nullptr; node = node->next) {
    htmlNodeDumpFormatOutput(buffer.get(), doc, node, nullptr, 0);  // no line breaks added
  }
  const std::string_view utf8(
      reinterpret_cast<const char*>(xmlOutputBufferGetContent(buffer.get())),
      xmlOutputBufferGetSize(buffer.get()));
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string_view character = utf8.substr(i, length);
    i += length;
    const std::string converted = Utf8ToCp1251(character);
    if (length == 1 || converted != "?") {
      out += converted;
      continue;
    }
    unsigned code = lead & (0x7F >> length);
    for (size_t k = 1; k < character.size(); ++k) code = code << 6 | (character[k] & 0x3F);
    out += "&#" + std::to_string(code) + ";";
  }
  return out;
}

}  // namespace

bool IsSafeUrl(std::string_view url, bool relativeAllowed) {
  // Browsers drop white space and control characters from addresses before reading the scheme.
  std::string cleaned;
  for (char c : url) {
    const auto b = static_cast<unsigned char>(c);
    if (b > ' ' && b != 0x7F) cleaned += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
  }
  const size_t end = cleaned.find_first_of(":/?#");
  // A "&" before it may be a reference the parser did not know ("&colon;") but a browser does.
  if (cleaned.substr(0, end).find('&') != std::string::npos) return false;
  if (end == std::string::npos || cleaned[end] != ':') return relativeAllowed;
  const std::string_view scheme = std::string_view(cleaned).substr(0, end);
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto";
}

namespace {

using Doc = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

// The tree of `html` (Windows-1251); null for a text without any node. `doubtful` is set when the
// parser met markup a browser may read otherwise.
Doc Parse(std::string_view html, bool& doubtful) {
  // The parser stops at a NUL byte, where a browser goes on reading.
  std::string utf8 = Cp1251ToUtf8(html);
  if (utf8.find('\0') != std::string::npos) {
    doubtful = true;
    utf8.erase(std::remove(utf8.begin(), utf8.end(), '\0'), utf8.end());
  }
  std::unique_ptr<htmlParserCtxt, decltype(&htmlFreeParserCtxt)> ctxt(htmlNewParserCtxt(),
                                                                      &htmlFreeParserCtxt);
  if (ctxt == nullptr) throw std::bad_alloc();
  ctxt->_private = &doubtful;
  ctxt->sax->error = &OnParserError;
  return Doc(
      htmlCtxtReadMemory(
          ctxt.get(), utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
          HTML_PARSE_RECOVER | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_NODEFDTD),
      &xmlFreeDoc);
}

// Removes the script and style elements under `parent`; true when there was one.
bool RemoveScripts(xmlNode* parent) {
  bool removed = false;
  for (xmlNode* node = parent->children; node != nullptr;) {
    xmlNode* next = node->next;
    if (node->type == XML_ELEMENT_NODE) {
      const std::string name = Lower(Name(node->name));
      if (name == "script" || name == "style") {
        xmlUnlinkNode(node);
        xmlFreeNode(node);
        removed = true;
      } else {
        removed = RemoveScripts(node) || removed;
      }
    }
    node = next;
  }
  return removed;
}

}  // namespace

std::string SanitizeHtml(std::string_view html) {
  if (html.empty()) return {};
  bool doubtful = false;
  Doc doc = Parse(html, doubtful);
  if (doc == nullptr) return doubtful ? std::string() : std::string(html);
  Walk walk;
  walk.Children(reinterpret_cast<xmlNode*>(doc.get()));
  if (!walk.changed && !doubtful) return std::string(html);
  return Serialize(doc.get());
}

std::string WithoutScripts(std::string_view html) {
  const std::string lower = Lower(html);
  if (lower.find("<script") == std::string::npos && lower.find("<style") == std::string::npos) {
    return std::string(html);
  }
  bool doubtful = false;
  Doc doc = Parse(html, doubtful);
  if (doc == nullptr) return doubtful ? std::string() : std::string(html);
  if (!RemoveScripts(reinterpret_cast<xmlNode*>(doc.get())) && !doubtful) return std::string(html);
  // A description is a part of a page: it gets none of the html, head and body the parser added.
  if (lower.find("<html") == std::string::npos && lower.find("<body") == std::string::npos) {
    Walk unwrap;
    unwrap.frameOnly = true;
    unwrap.Children(reinterpret_cast<xmlNode*>(doc.get()));
  }
  return Serialize(doc.get());
}

}  // namespace vorlin
