#include "ingest/rss_file.h"

#include <fcntl.h>
#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/entities.h>
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

// What a feed's parse learns on the way; the context's _private points to it, which also marks
// the contexts of feeds, whose external entities are never loaded.
struct FeedParse {
  const int* mark;
  bool declaresEntities = false;  // the DTD declares an entity of its own
  bool undeclaredEntity = false;  // a reference named an entity the document never declared
};
const int feedContextMark = 0;
xmlExternalEntityLoader previousLoader = nullptr;

FeedParse* FeedOf(xmlParserCtxtPtr ctxt) {
  if (ctxt == nullptr || ctxt->_private == nullptr) return nullptr;
  auto* feed = static_cast<FeedParse*>(ctxt->_private);
  return feed->mark == &feedContextMark ? feed : nullptr;
}

xmlParserInputPtr RefuseFeedEntities(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
  if (FeedOf(ctxt) != nullptr) return nullptr;
  return previousLoader != nullptr ? previousLoader(url, id, ctxt) : nullptr;
}

void InstallEntityGuard() {
  static std::once_flag once;
  std::call_once(once, [] {
    previousLoader = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(&RefuseFeedEntities);
  });
}

void NoteEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId,
                    const xmlChar* systemId, xmlChar* content) {
  if (FeedParse* feed = FeedOf(static_cast<xmlParserCtxtPtr>(ctx))) feed->declaresEntities = true;
  xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

// Old feeds name an external DTD they never ship (so the parser cannot know its entities) and
// use HTML's named entities in their texts. Such a reference becomes its character; any other
// unknown name stays in the text as written. The document then counts as not completely
// loaded. Without an external DTD an unknown name stays the error it is.
xmlEntityPtr ResolveUndeclaredEntity(void* ctx, const xmlChar* name) {
  auto ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  xmlEntityPtr found = xmlSAX2GetEntity(ctx, name);
  FeedParse* feed = FeedOf(ctxt);
  if (found != nullptr || feed == nullptr || ctxt->inSubset != 0 || ctxt->myDoc == nullptr ||
      (ctxt->hasExternalSubset == 0 && ctxt->hasPErefs == 0)) {
    return found;
  }
  feed->undeclaredEntity = true;
  std::string text;
  if (const htmlEntityDesc* html = htmlEntityLookup(name)) {
    text = "&#" + std::to_string(html->value) + ";";
  } else {
    text = std::string("&amp;") + reinterpret_cast<const char*>(name) + ";";
  }
  xmlDocPtr doc = ctxt->myDoc;
  if (doc->intSubset == nullptr) xmlCreateIntSubset(doc, nullptr, nullptr, nullptr);
  return xmlAddDocEntity(doc, name, XML_INTERNAL_GENERAL_ENTITY, nullptr, nullptr,
                         reinterpret_cast<const xmlChar*>(text.c_str()));
}

// Limits that guard against hostile entities rather than against malformed text.
bool IsResourceLimit(const xmlError* err) {
  if (err == nullptr) return false;
  if (err->code == XML_ERR_ENTITY_LOOP || err->code == XML_ERR_NO_MEMORY) return true;
  const std::string_view message = err->message != nullptr ? err->message : "";
  return message.find("too big") != std::string_view::npos ||
         message.find("huge") != std::string_view::npos ||
         message.find("amplification") != std::string_view::npos;
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

RssCheck CheckRssFile(const std::filesystem::path& path, std::string* reason) {
  auto unreadable = [&](int err) {
    if (reason != nullptr) *reason = ErrnoText(err);
    return RssCheck::kUnreadable;
  };
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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

bool IsRssFile(const std::filesystem::path& path) {
  std::string reason;
  RssCheck check = CheckRssFile(path, &reason);
  if (check == RssCheck::kUnreadable) {
    throw Error("Cannot open file " + path.string() + ": " + reason);
  }
  return check == RssCheck::kRss;
}

FeedDocument FeedDocument::Load(const std::filesystem::path& path) {
  return Parse(ReadWholeFileAt(path), path.string());
}

FeedDocument FeedDocument::Parse(std::string_view bytes, const std::string& name) {
  InstallEntityGuard();
  if (bytes.size() > static_cast<size_t>(INT_MAX)) {
    throw FeedParseError("Cannot parse feed " + name + ": file too large");
  }
  // Entities are substituted as the text of the document; external ones are refused by the
  // loader above. libxml2's size limits stay on at first. A document that declares no entity
  // of its own cannot expand one, so when it fails it is read again with the limits lifted:
  // a valid feed with a description over ten million bytes is no bad file.
  const int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  for (bool huge : {false, true}) {
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt == nullptr) throw Error("Cannot create the XML parser for " + name);
    FeedParse feed{&feedContextMark};
    ctxt->_private = &feed;
    ctxt->sax->getEntity = &ResolveUndeclaredEntity;
    ctxt->sax->entityDecl = &NoteEntityDecl;
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, options | (huge ? XML_PARSE_HUGE : 0));
    if (doc != nullptr && ctxt->wellFormed) {
      const bool complete = ctxt->nsWellFormed != 0 && !feed.undeclaredEntity;
      xmlFreeParserCtxt(ctxt);
      RemoveBlankText(doc->children);
      return FeedDocument(doc, complete);
    }
    const std::string message = ParserMessage(ctxt);
    const bool limit = IsResourceLimit(xmlCtxtGetLastError(ctxt));
    if (doc != nullptr) xmlFreeDoc(doc);
    xmlFreeParserCtxt(ctxt);
    if (huge || feed.declaresEntities) {
      throw FeedParseError("Cannot parse feed " + name + ": " + message, limit && !huge);
    }
  }
  return FeedDocument(nullptr, true);  // not reached
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
