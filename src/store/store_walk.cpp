#include "store/store_walk.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

#include "store/store_format.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

// The store is Windows-1251. Rather than let the parser convert it through iconv, each block is
// converted here with the program's own table (several times faster) and the document declared
// UTF-8. The values come out the same; the one byte the code page leaves unassigned (0x98) goes
// through as the replacement character and comes back as the same byte, so such a store loads
// (where iconv would reject it) and its values keep their bytes and keys.
constexpr std::string_view kUtf8Header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel>";

}  // namespace

class StoreWalk::Impl {
 public:
  Impl(unsigned required, ItemSink sink, std::string docName)
      : required_(required), sink_(std::move(sink)), docName_(std::move(docName)) {
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Impl::OnStart;
    sax.endElementNs = &Impl::OnEnd;
    sax.characters = &Impl::OnText;
    sax.ignorableWhitespace = &Impl::OnText;
    sax.cdataBlock = &Impl::OnCData;
    sax.comment = &Impl::OnComment;
    sax.processingInstruction = &Impl::OnPi;
    sax.serror = &Impl::OnError;  // keeps libxml2 from printing; the error is read afterwards
    ctxt_ = xmlCreatePushParserCtxt(&sax, this, kUtf8Header.data(),
                                    static_cast<int>(kUtf8Header.size()), nullptr);
    if (ctxt_ == nullptr) throw Error("Cannot create the XML parser for " + docName_);
    // No network, no DTD loading, no entity substitution beyond the predefined ones. A store
    // cannot hold a DTD (it starts inside the root element), so large text nodes are safe.
    xmlCtxtUseOptions(ctxt_, XML_PARSE_NONET | XML_PARSE_HUGE);
  }

  ~Impl() {
    if (ctxt_ != nullptr) {
      xmlFreeDoc(ctxt_->myDoc);
      xmlFreeParserCtxt(ctxt_);
    }
  }

  void Feed(const char* data, size_t size, bool terminate) {
    // xmlParseChunk takes an int length.
    do {
      int n = size > (1u << 30) ? (1 << 30) : static_cast<int>(size);
      xmlParseChunk(ctxt_, data, n, terminate && static_cast<size_t>(n) == size ? 1 : 0);
      data += n;
      size -= static_cast<size_t>(n);
      Check();
    } while (size > 0);
  }

 private:
  enum class Pending { kNone, kText, kCData };

  struct Open {
    const xmlChar* name;  // interned in the parser's dictionary
    bool hasChild;
  };

  // The parser hands our user data to every callback.
  static Impl* Self(void* ctx) { return static_cast<Impl*>(ctx); }

  void Check() {
    if (failure_) {
      std::exception_ptr e = failure_;
      failure_ = nullptr;
      std::rethrow_exception(e);
    }
    if (ctxt_->wellFormed) return;
    xmlErrorPtr err = xmlCtxtGetLastError(ctxt_);
    std::string message = err != nullptr && err->message != nullptr ? err->message : "parse error";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
      message.pop_back();
    int line = err != nullptr ? err->line : 0;
    int column = err != nullptr ? err->int2 : 0;
    // The header shares the first line with the store; count columns from the store's start.
    if (line == 1 && column > static_cast<int>(kUtf8Header.size())) {
      column -= static_cast<int>(kUtf8Header.size());
    }
    throw Error("Cannot load store " + docName_ + ": line " + std::to_string(line) + ", column " +
                std::to_string(column) + ": " + message);
  }

  // The text node (or CDATA section) gathered so far becomes a child of the open element.
  void FlushPending() {
    Pending kind = pending_;
    pending_ = Pending::kNone;
    if (kind == Pending::kNone) return;
    if (kind == Pending::kText && text_.find_first_not_of(" \t\r\n") == std::string::npos) {
      text_.clear();
      return;  // whitespace-only text is no node at all
    }
    // The push parser hands CDATA over with its line ends as they stand, where a document
    // parsed whole has every CR LF and lone CR read as LF; do the same here.
    if (kind == Pending::kCData) NormaliseLineEndsToLf(text_);
    MarkChild();
    Leaf(stack_.size(), stack_.empty() ? nullptr : stack_.back().name, text_);
    text_.clear();
  }

  void MarkChild() {
    if (!stack_.empty()) stack_.back().hasChild = true;
  }

  // A node without children at `depth`, child of the element `parent`, with text `utf8`.
  void Leaf(size_t depth, const xmlChar* parent, std::string_view utf8) {
    if (depth != 4 || parent == nullptr) return;
    const char* name = reinterpret_cast<const char*>(parent);
    for (int f = 0; f < kFieldCount; ++f) {
      if (std::strcmp(name, kFieldTags[static_cast<size_t>(f)]) != 0) continue;
      // Convert through a scratch buffer so that the value is allocated at its final size:
      // the message list keeps these strings for the whole session.
      scratch_.clear();
      AppendUtf8AsCp1251(scratch_, utf8);
      values_[static_cast<size_t>(f)].assign(scratch_);
      flags_ |= 1u << f;
      if ((flags_ & required_) == required_) Emit();
      return;
    }
  }

  void Emit() {
    try {
      sink_(values_);
    } catch (...) {
      failure_ = std::current_exception();
      xmlStopParser(ctxt_);
    }
    for (auto& v : values_) v.clear();
    flags_ = 0;
  }

  static void OnStart(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar*,
                      int, const xmlChar**, int, int, const xmlChar**) {
    Impl* self = Self(ctx);
    self->FlushPending();
    self->MarkChild();
    const xmlChar* name = localname;
    if (prefix != nullptr) {
      // Qualified names compare as written, prefix included.
      std::string q = std::string(reinterpret_cast<const char*>(prefix)) + ":" +
                      reinterpret_cast<const char*>(localname);
      name = xmlDictLookup(self->ctxt_->dict, BAD_CAST q.c_str(), static_cast<int>(q.size()));
    }
    if (self->stack_.size() == 2) {
      for (auto& v : self->values_) v.clear();
      self->flags_ = 0;
    }
    self->stack_.push_back(Open{name, false});
  }

  static void OnEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    Impl* self = Self(ctx);
    self->FlushPending();
    Open closed = self->stack_.back();
    self->stack_.pop_back();
    if (!closed.hasChild) {
      self->Leaf(self->stack_.size(), self->stack_.empty() ? nullptr : self->stack_.back().name,
                 std::string_view());
    }
  }

  static void OnText(void* ctx, const xmlChar* ch, int len) {
    Impl* self = Self(ctx);
    if (self->pending_ != Pending::kText) {
      self->FlushPending();
      self->pending_ = Pending::kText;
    }
    self->text_.append(reinterpret_cast<const char*>(ch), static_cast<size_t>(len));
  }

  static void OnCData(void* ctx, const xmlChar* ch, int len) {
    Impl* self = Self(ctx);
    if (self->pending_ != Pending::kCData) {
      self->FlushPending();
      self->pending_ = Pending::kCData;
    }
    self->text_.append(reinterpret_cast<const char*>(ch), static_cast<size_t>(len));
  }

  static void OnComment(void* ctx, const xmlChar* value) {
    Impl* self = Self(ctx);
    self->FlushPending();
    self->MarkChild();
    self->Leaf(self->stack_.size(), self->stack_.empty() ? nullptr : self->stack_.back().name,
               reinterpret_cast<const char*>(value));
  }

  static void OnPi(void* ctx, const xmlChar*, const xmlChar* data) {
    Impl* self = Self(ctx);
    self->FlushPending();
    self->MarkChild();
    self->Leaf(self->stack_.size(), self->stack_.empty() ? nullptr : self->stack_.back().name,
               data != nullptr ? reinterpret_cast<const char*>(data) : "");
  }

  static void OnError(void*, xmlErrorPtr) {}

  unsigned required_;
  ItemSink sink_;
  std::string docName_;
  xmlParserCtxtPtr ctxt_ = nullptr;
  std::vector<Open> stack_;
  Pending pending_ = Pending::kNone;
  std::string text_;
  std::string scratch_;
  MessageValues values_;
  unsigned flags_ = 0;
  std::exception_ptr failure_;
};

StoreWalk::StoreWalk(unsigned requiredFields, ItemSink sink, std::string docName)
    : impl_(std::make_unique<Impl>(requiredFields, std::move(sink), docName)),
      docName_(std::move(docName)) {}

StoreWalk::~StoreWalk() = default;

void StoreWalk::CheckControlCharacters(std::string_view bytes) {
  size_t lineStart = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20) continue;
    if (c == '\n') {
      ++line_;
      column_ = 1;
      lineStart = i + 1;
    } else if (c != '\t' && c != '\r') {
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", c);
      throw Error("Cannot load store " + docName_ + ": line " + std::to_string(line_) +
                  ", column " + std::to_string(column_ + static_cast<int64_t>(i - lineStart)) +
                  ": control character " + code + ", which a store cannot hold");
    }
  }
  column_ += static_cast<int64_t>(bytes.size() - lineStart);
}

void StoreWalk::Feed(std::string_view bytes) {
  if (bytes.empty()) return;
  CheckControlCharacters(bytes);
  // The push parser tests text for the forbidden "]]>" only within the bytes it has; one split
  // between two blocks would slip through. Trailing "]" bytes therefore wait for the next block.
  utf8_.swap(heldBack_);
  heldBack_.clear();
  AppendCp1251AsUtf8(utf8_, bytes);
  const size_t keep = utf8_.find_last_not_of(']') + 1;  // npos + 1 == 0: all brackets
  heldBack_.assign(utf8_, keep, std::string::npos);
  utf8_.resize(keep);
  if (!utf8_.empty()) impl_->Feed(utf8_.data(), utf8_.size(), false);
}

void StoreWalk::Finish() {
  heldBack_.append(kWrapFooter);
  impl_->Feed(heldBack_.data(), heldBack_.size(), true);
  heldBack_.clear();
}

void WalkStoreFile(std::string_view storeName, unsigned requiredFields, const ItemSink& sink) {
  const std::string path = FsPath(storeName).string();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Error("Cannot open store " + path + ": " + ErrnoText(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  StoreWalk walk(requiredFields, sink, path);
  std::vector<char> block(1 << 18);
  for (;;) {
    ssize_t n = ::read(fd, block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Error("Cannot read store " + path + ": " + ErrnoText(errno));
    if (n == 0) break;
    walk.Feed(std::string_view(block.data(), static_cast<size_t>(n)));
  }
  walk.Finish();
}

void WalkStoreText(std::string_view storeBytes, unsigned requiredFields, const ItemSink& sink,
                   const std::string& docName) {
  StoreWalk walk(requiredFields, sink, docName);
  walk.Feed(storeBytes);
  walk.Finish();
}

}  // namespace vorlin
