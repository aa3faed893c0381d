#include "download/feed_discovery.h"

#include <libxml/HTMLparser.h>
#include <libxml/uri.h>
#include <libxml/xmlreader.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "download/url_text.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n\f");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t\r\n\f") - first + 1));
}

std::string Attr(xmlNode* node, const char* name, bool* present = nullptr) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (present != nullptr) *present = value != nullptr;
  std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return text;
}

bool HasToken(const std::string& list, std::string_view token) {
  size_t pos = 0;
  const std::string lower = Lower(list);
  while (pos < lower.size()) {
    const size_t start = lower.find_first_not_of(" \t\r\n\f", pos);
    if (start == std::string::npos) break;
    const size_t end = std::min(lower.find_first_of(" \t\r\n\f", start), lower.size());
    if (std::string_view(lower).substr(start, end - start) == token) return true;
    pos = end;
  }
  return false;
}

bool FeedType(const std::string& type) {
  const std::string bare = Lower(Trim(type.substr(0, type.find(';'))));
  return bare == "application/rss+xml" || bare == "application/atom+xml" ||
         bare == "application/rdf+xml";
}

struct Walk {
  std::string base;
  std::vector<std::pair<std::string, std::string>> links;  // href, base at that point
};

void Visit(xmlNode* node, Walk& walk) {
  for (; node != nullptr; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string name = Lower(reinterpret_cast<const char*>(node->name));
    if (name == "base") {
      const std::string href = Trim(Attr(node, "href"));
      if (!href.empty() && walk.base.empty()) walk.base = href;
    } else if (name == "link") {
      bool hreflang = false;
      Attr(node, "hreflang", &hreflang);
      if (!hreflang && HasToken(Attr(node, "rel"), "alternate") && FeedType(Attr(node, "type"))) {
        const std::string href = Trim(Attr(node, "href"));
        if (!href.empty()) walk.links.emplace_back(href, walk.base);
      }
    }
    Visit(node->children, walk);
  }
}

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

}  // namespace

std::string ResolveUrl(std::string_view base, std::string_view reference) {
  const std::string b(base);
  const std::string r(reference);
  xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(r.c_str()),
                               reinterpret_cast<const xmlChar*>(b.c_str()));
  std::string out = built != nullptr ? reinterpret_cast<const char*>(built) : "";
  xmlFree(built);
  return out;
}

std::vector<std::string> DiscoverFeeds(std::string_view page, std::string_view pageUrl) {
  std::unique_ptr<xmlDoc, DocFree> doc(htmlReadMemory(
      page.data(), static_cast<int>(page.size()), nullptr, nullptr,
      HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
  std::vector<std::string> feeds;
  if (!doc) return feeds;
  Walk walk;
  Visit(xmlDocGetRootElement(doc.get()), walk);
  // A <base> anywhere in the document applies to every link (it belongs in the head).
  const std::string pageBase =
      walk.base.empty() ? std::string(pageUrl) : ResolveUrl(pageUrl, walk.base);
  for (const auto& link : walk.links) {
    std::string url = ResolveUrl(pageBase.empty() ? std::string(pageUrl) : pageBase, link.first);
    if (!url.empty() && std::find(feeds.begin(), feeds.end(), url) == feeds.end()) {
      feeds.push_back(std::move(url));
    }
  }
  return feeds;
}

bool LooksLikeFeed(std::string_view bytes) {
  xmlTextReaderPtr reader =
      xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (reader == nullptr) return false;
  bool feed = false;
  while (xmlTextReaderRead(reader) == 1) {
    if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT) continue;
    const xmlChar* local = xmlTextReaderConstLocalName(reader);
    const std::string name = local != nullptr ? reinterpret_cast<const char*>(local) : "";
    feed = name == "rss" || name == "feed" || name == "RDF";
    break;
  }
  xmlFreeTextReader(reader);
  return feed;
}

std::vector<std::string> DiscoverFeedsAt(const std::string& url, Progress& progress,
                                         const FetchLimits& limits, const std::atomic<int>* abort) {
  std::string folder = (std::filesystem::temp_directory_path() / "vorlin-discover-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) {
    throw Error("Cannot make a temporary folder " + folder + ": " + ErrnoText(errno));
  }
  struct Remove {
    std::string folder;
    ~Remove() {
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
    }
  } remove{folder};
  const std::string file = NameFromPath(std::filesystem::path(folder) / "page");
  FeedFetcher fetcher(limits, abort);
  const std::string url1251 = UrlCellFromTyped(url);
  if (fetcher.FetchUrlToFile(url1251, file, progress) == 0) {
    throw Error("Не удалось загрузить " + url + ": " + fetcher.LastError() + " (Cannot fetch " +
                url + ": " + fetcher.LastError() + ")");
  }
  const std::string page = ReadWholeFile(file);
  if (LooksLikeFeed(page)) return {url};
  return DiscoverFeeds(page, url);
}

}  // namespace vorlin
