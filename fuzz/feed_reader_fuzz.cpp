// The recognition and the Atom and RSS 1.0 readers never crash, every entry they give can be
// stored, and every date they give in the store's form is one the date parser reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ingest/atom_rdf_reader.h"
#include "ingest/feed_text.h"
#include "ingest/item_extraction.h"
#include "util/rss_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string root;
  vorlin::SniffFeedFormat(bytes, root);
  vorlin::HtmlToText(bytes);
  std::string date;
  if (vorlin::FeedDateToRfc822(bytes, date)) {
    vorlin::DateTime value;
    if (!vorlin::ParseDate(date, value)) std::abort();
  }
  try {
    const vorlin::FeedDocument doc = vorlin::FeedDocument::Parse(bytes, "fuzz.xml");
    const vorlin::FeedFormat format = vorlin::DocumentFormat(doc, root);
    vorlin::KeyIndex index;
    vorlin::ItemExtractor extractor(true, index);
    extractor.KeepUndated("Mon, 07 Dec 2026 12:00:00 +0000");
    int entries = 0;
    vorlin::ReadAtomOrRdf(doc, format, [&](const vorlin::FeedEntry& e) {
      ++entries;
      extractor.AddEntry(e);
    });
    if (extractor.NewMessages() > entries) std::abort();
    extractor.ResetFileState();
    extractor.WalkNodes(doc.FirstChild());
  } catch (const vorlin::Error&) {
  }
  return 0;
}
