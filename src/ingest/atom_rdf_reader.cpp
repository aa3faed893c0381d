#include "ingest/atom_rdf_reader.h"

#include <libxml/tree.h>
#include <libxml/uri.h>

#include <array>
#include <cctype>
#include <cstring>
#include <memory>

#include "ingest/feed_text.h"

namespace vorlin {
namespace {

constexpr const char* kRss10 = "http://purl.org/rss/1.0/";
constexpr const char* kRss090 = "http://my.netscape.com/rdf/simple/0.9/";
constexpr const char* kRdfNs = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr const char* kDc = "http://purl.org/dc/elements/1.1/";
constexpr const char* kContent = "http://purl.org/rss/1.0/modules/content/";
constexpr const char* kXhtml = "http://www.w3.org/1999/xhtml";

const char* Chars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }
const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

struct XmlFree {
  void operator()(xmlChar* p) const { xmlFree(p); }
};
std::string Take(xmlChar* owned) {
  std::unique_ptr<xmlChar, XmlFree> guard(owned);
  return owned != nullptr ? std::string(Chars(owned)) : std::string();
}

const char* NsOf(const xmlNode* node) {
  return node->ns != nullptr && node->ns->href != nullptr ? Chars(node->ns->href) : "";
}

bool Is(const xmlNode* node, const char* name, const char* ns) {
  return node->type == XML_ELEMENT_NODE && std::strcmp(Chars(node->name), name) == 0 &&
         std::strcmp(NsOf(node), ns) == 0;
}

// RSS 1.0 elements in its own namespace, that of 0.90, or (in careless files) none.
bool IsRdfItemPart(const xmlNode* node, const char* name) {
  return Is(node, name, kRss10) || Is(node, name, kRss090) || Is(node, name, "");
}

const xmlNode* Child(const xmlNode* parent, const char* name, const char* ns) {
  for (const xmlNode* c = parent->children; c != nullptr; c = c->next) {
    if (Is(c, name, ns)) return c;
  }
  return nullptr;
}

std::string Text(const xmlNode* node) {
  return node != nullptr ? Take(xmlNodeGetContent(node)) : "";
}

std::string Attr(const xmlNode* node, const char* name) {
  return Take(xmlGetNoNsProp(node, X(name)));
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool HasScheme(const std::string& uri) {
  const size_t colon = uri.find(':');
  if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(uri[0])))
    return false;
  return uri.find_first_of("/?#") > colon;
}

std::string Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  return std::string(s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1));
}

bool NeedsEscape(unsigned char c) { return c <= ' ' || c >= 0x80; }

// `uri` resolved against `base`. The URI builder refuses characters beyond ASCII and blanks,
// which sites write in their paths as they are (Cyrillic or Japanese article names): those
// bytes are escaped for the build and, where the texts held no escapes of their own, turned
// back after it. Empty when the build fails.
std::string BuildUri(const std::string& uri, const std::string& base) {
  auto escape = [](const std::string& s) {
    std::string out;
    for (const char ch : s) {
      const auto c = static_cast<unsigned char>(ch);
      if (!NeedsEscape(c)) {
        out += ch;
        continue;
      }
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
    return out;
  };
  const std::string escapedUri = escape(uri);
  const std::string escapedBase = escape(base);
  std::string built = Take(xmlBuildURI(X(escapedUri.c_str()), X(escapedBase.c_str())));
  if ((escapedUri == uri && escapedBase == base) || uri.find('%') != std::string::npos ||
      base.find('%') != std::string::npos) {
    return built;
  }
  std::string out;
  for (size_t i = 0; i < built.size(); ++i) {
    const int c = built[i] == '%' && i + 2 < built.size() &&
                          std::isxdigit(static_cast<unsigned char>(built[i + 1])) &&
                          std::isxdigit(static_cast<unsigned char>(built[i + 2]))
                      ? std::stoi(built.substr(i + 1, 2), nullptr, 16)
                      : 0x7f;
    if (NeedsEscape(static_cast<unsigned char>(c))) {
      out += static_cast<char>(c);
      i += 2;
    } else {
      out += built[i];
    }
  }
  return out;
}

// `href` made absolute against the xml:base in force at `node`, and what is still relative
// against `fallback` (the feed's own address).
std::string Resolve(const xmlNode* node, const std::string& href, const std::string& fallback) {
  std::string uri = Trim(href);
  if (HasScheme(uri)) return uri;
  if (const std::string base = Take(xmlNodeGetBase(node->doc, node)); !base.empty()) {
    if (std::string built = BuildUri(uri, base); !built.empty()) {
      uri = built;
    }
  }
  if (!HasScheme(uri) && !fallback.empty()) {
    if (std::string built = BuildUri(uri, fallback); !built.empty()) {
      uri = built;
    }
  }
  return uri;
}

constexpr std::array<const char*, 14> kVoidElements = {"area",  "base",   "br",    "col",  "embed",
                                                       "hr",    "img",    "input", "link", "meta",
                                                       "param", "source", "track", "wbr"};

// Inline XML content as HTML text: element names without prefixes, attributes without a
// namespace, text escaped.
void SerializeHtml(const xmlNode* node, std::string& out) {
  for (; node != nullptr; node = node->next) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content != nullptr) out += EscapeHtml(Chars(node->content));
      continue;
    }
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string name = Chars(node->name);
    out += "<" + name;
    for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
      if (a->ns != nullptr) continue;
      out += " " + std::string(Chars(a->name)) + "=\"" +
             EscapeHtml(Take(xmlNodeListGetString(node->doc, a->children, 1))) + "\"";
    }
    out += ">";
    bool isVoid = false;
    for (const char* v : kVoidElements) isVoid = isVoid || name == v;
    if (isVoid && node->children == nullptr) continue;
    SerializeHtml(node->children, out);
    out += "</" + name + ">";
  }
}

enum class Construct { kNone, kText, kHtml, kXhtml };

// The kind of an Atom text construct, 1.0 ("type": text, html, xhtml or a media type) and 0.3
// ("type" a media type, "mode" xml, escaped or base64).
Construct KindOf(const xmlNode* node) {
  const std::string type = Lower(Attr(node, "type"));
  const std::string mode = Lower(Attr(node, "mode"));
  bool elements = false;
  for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
    elements = elements || c->type == XML_ELEMENT_NODE;
  }
  if (mode == "base64") return Construct::kNone;
  if (type == "xhtml" || type == "application/xhtml+xml") return Construct::kXhtml;
  if (type == "html" || type == "text/html") {
    return mode == "xml" && elements ? Construct::kXhtml : Construct::kHtml;
  }
  if (type.empty() || type == "text" || type.rfind("text/", 0) == 0) {
    return elements ? Construct::kXhtml : Construct::kText;
  }
  // Another media type: XML inline is shown as markup; anything else is binary.
  if (type.size() > 4 && type.compare(type.size() - 4, 4, "+xml") == 0) return Construct::kXhtml;
  return Construct::kNone;
}

// The children of a construct's xhtml:div wrapper (1.0), or all of them (0.3).
const xmlNode* XhtmlBody(const xmlNode* node) {
  const xmlNode* c = node->children;
  while (c != nullptr && c->type != XML_ELEMENT_NODE) c = c->next;
  if (c != nullptr && Is(c, "div", kXhtml)) return c->children;
  return node->children;
}

// A construct as HTML; empty when there is none or it is out of line.
std::string ConstructHtml(const xmlNode* node) {
  if (node == nullptr || !Attr(node, "src").empty()) return {};
  switch (KindOf(node)) {
    case Construct::kText:
      return EscapeHtml(Text(node));
    case Construct::kHtml:
      return Text(node);
    case Construct::kXhtml: {
      std::string html;
      SerializeHtml(XhtmlBody(node), html);
      return html;
    }
    case Construct::kNone:
      break;
  }
  return {};
}

std::string ConstructText(const xmlNode* node) {
  if (node == nullptr) return {};
  switch (KindOf(node)) {
    case Construct::kHtml:
      return HtmlToText(Text(node));
    case Construct::kXhtml:
      return HtmlToText(ConstructHtml(node));
    default:
      return CollapseBlanks(Text(node));
  }
}

// The first of the named date elements that is there, in the store's form; a date that is no
// W3C or RFC 822 date is kept as the feed gave it, as RSS dates are.
std::string FirstDate(std::initializer_list<const xmlNode*> candidates) {
  for (const xmlNode* n : candidates) {
    if (n == nullptr) continue;
    const std::string raw = Trim(Text(n));
    if (raw.empty()) continue;
    std::string date;
    return FeedDateToRfc822(raw, date) ? date : raw;
  }
  return {};
}

// The entry's `alternate` link (no rel is alternate), else its first link. Of several
// alternates (one per type or language) the first web page is taken, so that a PDF or feed
// version listed before the page does not win.
const xmlNode* EntryLink(const xmlNode* entry, const char* ns) {
  const xmlNode* first = nullptr;
  const xmlNode* alternate = nullptr;
  for (const xmlNode* c = entry->children; c != nullptr; c = c->next) {
    if (!Is(c, "link", ns) || Attr(c, "href").empty()) continue;
    if (first == nullptr) first = c;
    const std::string rel = Attr(c, "rel");
    if (!rel.empty() && rel != "alternate") continue;
    const std::string type = Lower(Trim(Attr(c, "type")));
    if (type.empty() || type == "text/html" || type == "application/xhtml+xml") return c;
    if (alternate == nullptr) alternate = c;
  }
  return alternate != nullptr ? alternate : first;
}

void ReadAtom(const xmlNode* feed, const EntrySink& sink) {
  const char* ns = NsOf(feed);
  FeedEntry entry;
  entry.channelTitle = ConstructText(Child(feed, "title", ns));
  std::string self;
  for (const xmlNode* c = feed->children; c != nullptr; c = c->next) {
    if (Is(c, "link", ns) && Attr(c, "rel") == "self") {
      self = Resolve(c, Attr(c, "href"), "");
      break;
    }
  }
  for (const xmlNode* e = feed->children; e != nullptr; e = e->next) {
    if (!Is(e, "entry", ns)) continue;
    entry.title = ConstructText(Child(e, "title", ns));
    const xmlNode* chosen = EntryLink(e, ns);
    entry.link.clear();
    if (chosen != nullptr) {
      entry.link = Resolve(chosen, Attr(chosen, "href"), self);
    } else if (const std::string id = Trim(Text(Child(e, "id", ns)));
               id.rfind("http://", 0) == 0 || id.rfind("https://", 0) == 0) {
      entry.link = id;  // a permalink as the entry's identity
    }
    entry.description = ConstructHtml(Child(e, "content", ns));
    if (entry.description.empty()) entry.description = ConstructHtml(Child(e, "summary", ns));
    entry.date =
        FirstDate({Child(e, "published", ns), Child(e, "issued", ns), Child(e, "updated", ns),
                   Child(e, "modified", ns), Child(e, "created", ns), Child(e, "date", kDc)});
    sink(entry);
  }
}

void ReadRdf(const xmlNode* rdf, const EntrySink& sink) {
  FeedEntry entry;
  std::string about;
  for (const xmlNode* c = rdf->children; c != nullptr; c = c->next) {
    if (IsRdfItemPart(c, "channel")) {
      const xmlNode* title = nullptr;
      for (const xmlNode* t = c->children; t != nullptr && title == nullptr; t = t->next) {
        if (IsRdfItemPart(t, "title")) title = t;
      }
      entry.channelTitle = CollapseBlanks(Text(title));
      about = Take(xmlGetNsProp(c, X("about"), X(kRdfNs)));
      break;
    }
  }
  for (const xmlNode* item = rdf->children; item != nullptr; item = item->next) {
    if (!IsRdfItemPart(item, "item")) continue;
    const xmlNode* title = nullptr;
    const xmlNode* link = nullptr;
    const xmlNode* description = nullptr;
    for (const xmlNode* c = item->children; c != nullptr; c = c->next) {
      if (title == nullptr && IsRdfItemPart(c, "title")) title = c;
      if (link == nullptr && IsRdfItemPart(c, "link")) link = c;
      if (description == nullptr && IsRdfItemPart(c, "description")) description = c;
    }
    const std::string rawTitle = Text(title);
    entry.title = LooksLikeMarkup(rawTitle) ? HtmlToText(rawTitle) : CollapseBlanks(rawTitle);
    std::string href = Trim(Text(link));
    if (href.empty()) href = Take(xmlGetNsProp(item, X("about"), X(kRdfNs)));
    entry.link = href.empty() ? href : Resolve(link != nullptr ? link : item, href, about);
    entry.description = Text(Child(item, "encoded", kContent));
    if (entry.description.empty()) entry.description = Text(description);
    entry.date = FirstDate({Child(item, "date", kDc)});
    sink(entry);
  }
}

}  // namespace

void ReadAtomOrRdf(const FeedDocument& doc, FeedFormat format, const EntrySink& sink) {
  const xmlNode* root = doc.FirstChild();
  while (root != nullptr && root->type != XML_ELEMENT_NODE) root = root->next;
  if (root == nullptr) return;
  if (format == FeedFormat::kAtom) ReadAtom(root, sink);
  if (format == FeedFormat::kRdf) ReadRdf(root, sink);
}

}  // namespace vorlin
