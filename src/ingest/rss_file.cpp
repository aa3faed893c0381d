#include "ingest/rss_file.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

namespace vorlin {
namespace {

constexpr size_t kBlock = 512;
constexpr size_t kOverlap = 6;
constexpr std::string_view kRssMark = "<rss ";

// Marks the parser contexts of feeds, whose external entities are never loaded.
int feedContextMark;
xmlExternalEntityLoader previousLoader = nullptr;

xmlParserInputPtr RefuseFeedEntities(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
  if (ctxt != nullptr && ctxt->_private == &feedContextMark) return nullptr;
  return previousLoader != nullptr ? previousLoader(url, id, ctxt) : nullptr;
}

void InstallEntityGuard() {
  static std::once_flag once;
  std::call_once(once, [] {
    previousLoader = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(&RefuseFeedEntities);
  });
}

bool IsBlankText(const xmlChar* s) {
  if (s == nullptr) return true;
  for (; *s != 0; ++s) {
    if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n') return false;
  }
  return true;
}

// The parser keeps white space between elements; the walk must not see it.
void RemoveBlankText(xmlNodePtr node) {
  while (node != nullptr) {
    xmlNodePtr next = node->next;
    if (node->type == XML_TEXT_NODE && IsBlankText(node->content)) {
      xmlUnlinkNode(node);
      xmlFreeNode(node);
    } else if (node->type == XML_ELEMENT_NODE) {
      RemoveBlankText(node->children);
    }
    node = next;
  }
}

std::string ParserMessage(xmlParserCtxtPtr ctxt) {
  const xmlError* err = xmlCtxtGetLastError(ctxt);
  if (err == nullptr || err->message == nullptr) return "not well-formed";
  std::string message = err->message;
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
    message.pop_back();
  }
  return message + " (line " + std::to_string(err->line) + ")";
}

}  // namespace

RssCheck CheckRssFile(std::string_view path, std::string* reason) {
  auto unreadable = [&](int err) {
    if (reason != nullptr) *reason = ErrnoText(err);
    return RssCheck::kUnreadable;
  };
  int fd = ::open(FsPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return unreadable(errno);
  struct stat st {};
  errno = 0;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int err = errno;
    if (err == 0 || S_ISDIR(st.st_mode)) err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return unreadable(err);
  }
  if (st.st_size < static_cast<off_t>(kRssMark.size())) {
    ::close(fd);
    return RssCheck::kNotRss;
  }
  char block[kBlock];
  off_t pos = 0;
  for (;;) {
    ssize_t n = ::pread(fd, block, kBlock, pos);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      return unreadable(err);
    }
    if (n == 0) break;
    if (std::string_view(block, static_cast<size_t>(n)).find(kRssMark) != std::string_view::npos) {
      ::close(fd);
      return RssCheck::kRss;
    }
    pos += static_cast<size_t>(n) == kBlock ? static_cast<off_t>(kBlock - kOverlap) : n;
  }
  ::close(fd);
  return RssCheck::kNotRss;
}

bool IsRssFile(std::string_view path) {
  std::string reason;
  RssCheck check = CheckRssFile(path, &reason);
  if (check == RssCheck::kUnreadable) {
    throw Error("Cannot open file " + DisplayName(path) + ": " + reason);
  }
  return check == RssCheck::kRss;
}

FeedDocument FeedDocument::Load(std::string_view path) {
  return Parse(ReadWholeFile(path), DisplayName(path));
}

FeedDocument FeedDocument::Parse(std::string_view bytes, const std::string& name) {
  InstallEntityGuard();
  if (bytes.size() > static_cast<size_t>(INT_MAX)) {
    throw FeedParseError("Cannot parse feed " + name + ": file too large");
  }
  xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
  if (ctxt == nullptr) throw Error("Cannot create the XML parser for " + name);
  ctxt->_private = &feedContextMark;
  // Entities are substituted as the text of the document, within libxml2's default limits
  // (no XML_PARSE_HUGE); external ones are refused by the loader above.
  const int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlDocPtr doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                    nullptr, options);
  if (doc == nullptr || !ctxt->wellFormed) {
    std::string message = ParserMessage(ctxt);
    if (doc != nullptr) xmlFreeDoc(doc);
    xmlFreeParserCtxt(ctxt);
    throw FeedParseError("Cannot parse feed " + name + ": " + message);
  }
  const bool complete = ctxt->nsWellFormed != 0;
  xmlFreeParserCtxt(ctxt);
  RemoveBlankText(doc->children);
  return FeedDocument(doc, complete);
}

FeedDocument::FeedDocument(FeedDocument&& other) noexcept
    : doc_(other.doc_), complete_(other.complete_) {
  other.doc_ = nullptr;
}

FeedDocument& FeedDocument::operator=(FeedDocument&& other) noexcept {
  if (this != &other) {
    if (doc_ != nullptr) xmlFreeDoc(doc_);
    doc_ = other.doc_;
    complete_ = other.complete_;
    other.doc_ = nullptr;
  }
  return *this;
}

FeedDocument::~FeedDocument() {
  if (doc_ != nullptr) xmlFreeDoc(doc_);
}

_xmlNode* FeedDocument::FirstChild() const { return doc_ != nullptr ? doc_->children : nullptr; }

}  // namespace vorlin
