// Which kind of file a scan found: a feed of one of the families the run reads, or what else.
#pragma once

#include <string>
#include <string_view>

#include "ingest/rss_file.h"

namespace vorlin {

enum class FeedFormat {
  kRss,          // root "rss": RSS 2.0 and 0.91/0.92 (the positional item walk)
  kAtom,         // root "feed" of Atom 1.0 or 0.3
  kRdf,          // root "RDF" of RSS 1.0 (and 0.90)
  kHtml,         // an HTML page
  kNotXml,       // no markup at all
  kUnknownRoot,  // XML with another root element
};

// A first look at bytes that hold no "<rss ": the name of the first element after the prolog
// (declaration, comments, processing instructions, document type) decides. A root named like
// one of the feeds' roots gives that feed, to be confirmed by DocumentFormat after parsing.
// `rootName` gets the element's name as written (UTF-8), empty when no element was found.
FeedFormat SniffFeedFormat(std::string_view bytes, std::string& rootName);

// The format of a parsed document, by the name and namespace of its root element; `rootName`
// gets the root's name with its prefix.
FeedFormat DocumentFormat(const FeedDocument& doc, std::string& rootName);

// The log line (Windows-1251) naming a file that is no feed, with the format found.
std::string NotAFeedLine(FeedFormat format, const std::string& rootName, const std::string& path);

}  // namespace vorlin
