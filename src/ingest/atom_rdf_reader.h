// The readers of Atom (1.0 and 0.3) and RSS 1.0 (RDF) documents: each entry becomes the five
// values of a message, by the mapping below. RSS 2.0 and 0.9x stay with the positional walk.
#pragma once

#include <functional>
#include <string>

#include "ingest/feed_format.h"

namespace vorlin {

// One entry, UTF-8. An empty description or date means the entry has none.
struct FeedEntry {
  std::string channelTitle;  // the feed's (channel's) title
  std::string title;         // markup turned to text
  std::string link;          // absolute where a base is known
  std::string description;   // HTML
  std::string date;          // RFC 822 form ("Mon, 07 Dec 2026 15:30:00 +0300")
};
using EntrySink = std::function<void(const FeedEntry&)>;

// Atom: title from `title` (text, html or xhtml); link the `alternate` link, else the first
// link, made absolute against xml:base, else against the feed's `self` link; description
// `content`, else `summary`, as HTML (text escaped, xhtml serialised; out-of-line or binary
// content does not count); date `published`, else `updated`, else `dc:date` (0.3: `issued`,
// `modified`, `created`).
// RDF: the channel's `title`; per `item` its `title` (markup turned to text), `link` made
// absolute against xml:base, else the channel's `rdf:about`; `content:encoded`, else
// `description`, as HTML as given; `dc:date`.
// `format` is the document's (DocumentFormat); other formats read nothing.
void ReadAtomOrRdf(const FeedDocument& doc, FeedFormat format, const EntrySink& sink);

}  // namespace vorlin
