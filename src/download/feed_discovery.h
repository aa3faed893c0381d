// Feed discovery: from a site's address to the feeds its pages announce. A page names its feeds
// in <link rel="alternate" type="application/rss+xml" href="..."> elements (Atom and RDF types
// too); an address that already is a feed stands for itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "download/feed_fetch.h"
#include "util/progress.h"

namespace vorlin {

// The absolute feed addresses an HTML page announces (UTF-8), in page order without repeats:
// every <link> whose rel tokens include "alternate", whose type is application/rss+xml,
// application/atom+xml or application/rdf+xml (parameters aside) and which has no hreflang (a
// translation of the page, not a feed), its href made absolute against the page's <base href>,
// else `pageUrl`. Parsed leniently, as browsers do.
std::vector<std::string> DiscoverFeeds(std::string_view page, std::string_view pageUrl);

// True when `bytes` is a feed itself: XML whose root element is rss, feed (Atom) or RDF.
bool LooksLikeFeed(std::string_view bytes);

// `reference` resolved against `base` (RFC 3986); empty when either cannot be read as a URI.
std::string ResolveUrl(std::string_view base, std::string_view reference);

// Fetches `url` (UTF-8) with the downloader's fetch and returns the feeds it leads to: the URL
// itself when it is a feed, else what its page announces (possibly none). Throws Error naming
// the URL when it cannot be fetched.
// `abort`, when set, ends the fetch as a failure.
std::vector<std::string> DiscoverFeedsAt(const std::string& url, Progress& progress,
                                         const FetchLimits& limits = {},
                                         const std::atomic<int>* abort = nullptr);

}  // namespace vorlin
