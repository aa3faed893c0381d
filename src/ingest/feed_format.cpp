#include "ingest/feed_format.h"

#include <libxml/tree.h>

#include <cctype>
#include <cstring>

#include "util/cp1251.h"

namespace vorlin {
namespace {

constexpr std::string_view kAtom10 = "http://www.w3.org/2005/Atom";
constexpr std::string_view kAtom03 = "http://purl.org/atom/ns#";
constexpr std::string_view kRdfNs = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr size_t kSniffLimit = 64 * 1024;

bool StartsNoCase(std::string_view s, size_t pos, std::string_view word) {
  if (pos + word.size() > s.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[pos + i])) != word[i]) return false;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The bytes of a UTF-16 file with the zero halves of ASCII characters left out: enough to
// read the names of its prolog and root.
std::string Narrow(std::string_view bytes) {
  std::string out;
  for (size_t i = 2; i < bytes.size() && out.size() < kSniffLimit; ++i) {
    if (bytes[i] != '\0') out += bytes[i];
  }
  return out;
}

FeedFormat ByRootName(const std::string& name) {
  const size_t colon = name.find(':');
  const std::string_view local = colon == std::string::npos
                                     ? std::string_view(name)
                                     : std::string_view(name).substr(colon + 1);
  if (StartsNoCase(name, 0, "html") && name.size() == 4) return FeedFormat::kHtml;
  if (local == "feed") return FeedFormat::kAtom;
  if (local == "RDF") return FeedFormat::kRdf;
  if (name == "rss") return FeedFormat::kRss;
  return FeedFormat::kUnknownRoot;
}

}  // namespace

FeedFormat SniffFeedFormat(std::string_view bytes, std::string& rootName) {
  rootName.clear();
  std::string narrowed;
  if (bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    narrowed = Narrow(bytes);
    bytes = narrowed;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  bytes = bytes.substr(0, kSniffLimit);
  size_t i = 0;
  for (;;) {
    while (i < bytes.size() && IsBlank(bytes[i])) ++i;
    if (i >= bytes.size() || bytes[i] != '<') {
      // Text before any element: an HTML page may still open with it, XML may not.
      return StartsNoCase(bytes, 0, "<!doctype html") || bytes.find("<html") != std::string::npos ||
                     bytes.find("<HTML") != std::string::npos
                 ? FeedFormat::kHtml
                 : FeedFormat::kNotXml;
    }
    if (bytes.compare(i, 4, "<!--") == 0) {
      const size_t end = bytes.find("-->", i + 4);
      if (end == std::string_view::npos) return FeedFormat::kNotXml;
      i = end + 3;
    } else if (bytes.compare(i, 2, "<?") == 0) {
      const size_t end = bytes.find("?>", i + 2);
      if (end == std::string_view::npos) return FeedFormat::kNotXml;
      i = end + 2;
    } else if (StartsNoCase(bytes, i, "<!doctype")) {
      size_t j = i + 9;
      while (j < bytes.size() && IsBlank(bytes[j])) ++j;
      if (StartsNoCase(bytes, j, "html") &&
          (j + 4 == bytes.size() || IsBlank(bytes[j + 4]) || bytes[j + 4] == '>')) {
        return FeedFormat::kHtml;
      }
      // Past the internal subset, if any, to the closing ">".
      int brackets = 0;
      for (; j < bytes.size(); ++j) {
        if (bytes[j] == '[') ++brackets;
        if (bytes[j] == ']') --brackets;
        if (bytes[j] == '>' && brackets <= 0) break;
      }
      if (j >= bytes.size()) return FeedFormat::kNotXml;
      i = j + 1;
    } else {
      size_t j = i + 1;
      while (j < bytes.size() && !IsBlank(bytes[j]) && bytes[j] != '>' && bytes[j] != '/') ++j;
      rootName.assign(bytes.substr(i + 1, j - i - 1));
      if (rootName.empty() || !(std::isalpha(static_cast<unsigned char>(rootName[0])) ||
                                rootName[0] == '_' || (rootName[0] & 0x80) != 0)) {
        rootName.clear();
        return FeedFormat::kNotXml;
      }
      return ByRootName(rootName);
    }
  }
}

FeedFormat DocumentFormat(const FeedDocument& doc, std::string& rootName) {
  rootName.clear();
  const xmlNode* root = doc.FirstChild();
  while (root != nullptr && root->type != XML_ELEMENT_NODE) root = root->next;
  if (root == nullptr || root->name == nullptr) return FeedFormat::kNotXml;
  const char* name = reinterpret_cast<const char*>(root->name);
  const std::string_view ns = root->ns != nullptr && root->ns->href != nullptr
                                  ? std::string_view(reinterpret_cast<const char*>(root->ns->href))
                                  : std::string_view();
  if (root->ns != nullptr && root->ns->prefix != nullptr) {
    rootName = std::string(reinterpret_cast<const char*>(root->ns->prefix)) + ":";
  }
  rootName += name;
  if (std::strcmp(name, "rss") == 0 && ns.empty()) return FeedFormat::kRss;
  if (std::strcmp(name, "feed") == 0 && (ns == kAtom10 || ns == kAtom03)) return FeedFormat::kAtom;
  if (std::strcmp(name, "RDF") == 0 && ns == kRdfNs) return FeedFormat::kRdf;
  if (StartsNoCase(name, 0, "html") && std::strlen(name) == 4) return FeedFormat::kHtml;
  return FeedFormat::kUnknownRoot;
}

std::string NotAFeedLine(FeedFormat format, const std::string& rootName, const std::string& path) {
  switch (format) {
    case FeedFormat::kHtml:
      return W(" Не лента новостей, страница HTML (Not a feed, an HTML page) ") + path;
    case FeedFormat::kNotXml:
      return W(" Не лента новостей, не XML (Not a feed, not XML) ") + path;
    default: {
      const std::string root = "<" + Utf8ToCp1251Refs(rootName) + ">";
      return W(" Не лента новостей, неизвестный корневой элемент ") + root +
             W(" (Not a feed, unknown root element ") + root + ") " + path;
    }
  }
}

}  // namespace vorlin
