// Recognising RSS files, and parsing them into a document tree for the item walk.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "util/file_io.h"

struct _xmlDoc;
struct _xmlNode;

namespace vorlin {

enum class RssCheck { kRss, kNotRss, kUnreadable };

// Whether the file holds the bytes "<rss " anywhere (case-sensitive, so "<RSS " and "<rss>"
// do not count). The file is read in blocks of at most 512 bytes; after a full block the next
// read starts 6 bytes before its end, so a match across the boundary is found. Files shorter
// than 5 bytes are not RSS. The file is opened for reading only; when it cannot be opened or
// read the answer is kUnreadable and `reason` (if given) holds why, in UTF-8. Paths here are
// file-system paths (UTF-8), as the scan finds them.
RssCheck CheckRssFile(const std::filesystem::path& path, std::string* reason = nullptr);

// The same test; throws Error naming the file and the reason when it cannot be read.
bool IsRssFile(const std::filesystem::path& path);

// A feed that the XML parser rejected (syntax error, entity limits); the message is UTF-8.
class FeedParseError : public Error {
 public:
  explicit FeedParseError(const std::string& message, bool resourceLimit = false)
      : Error(message), resourceLimit_(resourceLimit) {}
  // The parser gave up on one of its safety limits (entity expansion and the like) rather
  // than on malformed text: the file may be sound, so it is never deleted as bad.
  bool ResourceLimit() const { return resourceLimit_; }

 private:
  bool resourceLimit_;
};

// A feed file parsed into a tree. The text is decoded by the encoding of the XML declaration
// (UTF-8 without one). No DTD is loaded, no external entity or network resource is read,
// internal entities are expanded within libxml2's limits, and text nodes made only of white
// space are removed from the tree.
class FeedDocument {
 public:
  // Throws Error when the file cannot be read and FeedParseError when it is not well-formed.
  static FeedDocument Load(const std::filesystem::path& path);
  // The same for bytes in memory; `name` (UTF-8) is used in error messages.
  static FeedDocument Parse(std::string_view bytes, const std::string& name);

  FeedDocument(FeedDocument&&) noexcept;
  FeedDocument& operator=(FeedDocument&&) noexcept;
  ~FeedDocument();

  // False when the parser built the tree but reported an error it could go on after (an
  // undeclared namespace prefix and the like).
  bool CompletelyLoaded() const { return complete_; }
  // The first node of the document's own child list.
  _xmlNode* FirstChild() const;

 private:
  FeedDocument(_xmlDoc* doc, bool complete) : doc_(doc), complete_(complete) {}
  _xmlDoc* doc_ = nullptr;
  bool complete_ = true;
};

}  // namespace vorlin
