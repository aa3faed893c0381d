// The positional item walk: which items become messages, and the store text they become.
#include "ingest/item_extraction.h"

#include <gtest/gtest.h>

#include "ingest/rss_file.h"
#include "ingest_test_support.h"
#include "store/crc32.h"
#include "store/store_walk.h"
#include "util/cp1251.h"

namespace vorlin::testing {
namespace {

struct Extracted {
  std::string text;  // Windows-1251 store text
  int count = 0;
  std::vector<MessageValues> messages;  // the store text read back
};

Extracted Walk(ItemExtractor& extractor, const FeedDocument& doc) {
  extractor.ResetFileState();
  extractor.WalkNodes(doc.FirstChild());
  Extracted out{extractor.NewItemText(), extractor.NewMessages(), {}};
  WalkStoreText(out.text, kAllFields, [&](MessageValues& v) { out.messages.push_back(v); });
  return out;
}

Extracted Walk(ItemExtractor& extractor, const std::string& xml) {
  return Walk(extractor, FeedDocument::Parse(xml, "test.xml"));
}

// One file walked on its own, every complete item kept.
template <typename Source>
Extracted Extract(const Source& feed) {
  KeyIndex index;
  ItemExtractor extractor(false, index);
  return Walk(extractor, feed);
}

TEST(ItemExtractionTest, OnlyItemsWithEveryFieldBecomeMessagesAndTheLastTextPartCounts) {
  // No date, an empty or blank description, a channel image, a prefixed title; an item
  // before the channel title; a description split into text and CDATA, before the date; a
  // link on a line of its own.
  Extracted e =
      Extract("<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><channel>" +
              Item("early", "d1") + "<title>Named</title>" +
              "<item><title>a</title><link>l</link><description>d</description></item>" +
              Item("b", "") + Item("c", "<![CDATA[]]>") + Item("d", "  \n ") +
              "<image><title>logo</title><link>l</link><url>u</url></image>"
              "<item><description>d</description><pubDate>p</pubDate></item>"
              "<item><dc:title>x</dc:title><link>l</link><description>d3</description>"
              "<pubDate>p</pubDate></item><item><title>t</title><link>\n  l\n</link>"
              "<description>first <![CDATA[second]]></description><pubDate>p</pubDate></item>"
              "</channel></rss>");
  ASSERT_EQ(e.count, 3);
  EXPECT_EQ(e.messages[0][kTitleRss], "");
  EXPECT_EQ(e.messages[1][kTitle], "c");
  EXPECT_EQ(e.messages[1][kDescription], "");
  EXPECT_EQ(e.messages[2], (MessageValues{"Named", "t", "l", "second", "p"}));
  // Description last: the item is complete with the text part; the CDATA part starts an item
  // that never completes.
  Extracted last = Extract(Feed("c",
                                "<item><title>t</title><link>l</link><pubDate>p</pubDate>"
                                "<description>first <![CDATA[second]]></description></item>"));
  ASSERT_EQ(last.count, 1);
  EXPECT_EQ(last.messages[0][kDescription], "first ");
}

TEST(ItemExtractionTest, NamedEntitiesOfAFeedWithAnUnshippedDtdKeepTheirText) {
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE rss SYSTEM "
      "\"http://example.org/rss-0.91.dtd\">\n<rss version=\"0.91\"><channel>"
      "<title>&laquo;Ведомости&raquo;</title>" +
      Item("A&mdash;B&hellip;", "x&nbsp;y &copy2; &alpha; &amp; &#8364;") + "</channel></rss>";
  const FeedDocument doc = FeedDocument::Parse(xml, "old.xml");
  EXPECT_FALSE(doc.CompletelyLoaded());
  const Extracted out = Extract(doc);
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_EQ(out.messages[0][kTitleRss], W("«Ведомости»"));
  EXPECT_EQ(out.messages[0][kTitle], W("A—B…"));
  // A name HTML does not know stays as written; a character the code page lacks is kept as a
  // reference.
  EXPECT_EQ(out.messages[0][kDescription], "x\xA0y &copy2; &#945; & \x88");

  // Without a DTD to declare it, an unknown name is the error it always was.
  EXPECT_THROW(FeedDocument::Parse(Feed("&laquo;T&raquo;", ""), "new.xml"), FeedParseError);
}

TEST(ItemExtractionTest, UniqueDescriptionsAcrossTheSameFileOtherFilesAndTheStore) {
  KeyIndex index;
  index.Add(MessageKey("stored"));
  ItemExtractor extractor(true, index);
  Walk(extractor, Feed("c", Item("1", "stored") + Item("2", "new") + Item("3", "new")));
  EXPECT_EQ(extractor.NewMessages(), 1);
  // A CDATA terminator is escaped, and the key taken over the escaped text.
  const Extracted e =
      Walk(extractor, Feed("other", Item("4", "new") + Item("a ]]&gt; b", "x ]]&gt; y")));
  EXPECT_EQ(extractor.NewMessages(), 2);
  EXPECT_EQ(e.messages.back()[kTitle], "a &#093;&#093;> b");
  EXPECT_EQ(e.messages.back()[kDescription], "x &#093;&#093;> y");
  EXPECT_EQ(index.Size(), 3u);
  EXPECT_EQ(extractor.AddedKeys(),
            (std::vector<std::string>{MessageKey("new"), MessageKey("x &#093;&#093;> y")}));
  // Without the option every complete item is kept and the index is left alone.
  KeyIndex untouched;
  ItemExtractor all(false, untouched);
  Walk(all, Feed("c", Item("1", "same") + Item("2", "same")));
  EXPECT_EQ(all.NewMessages(), 2);
  EXPECT_EQ(untouched.Size(), 0u);
}

TEST(ItemExtractionTest, FeedsInFourEncodingsGiveWindows1251Text) {
  struct Case {
    const char* file;
    const char* channel;
    const char* title;  // of the last item
  };
  // Characters the code page lacks ("é") are kept as references.
  for (const Case& c : {Case{"lenta_dnya.xml", "Лента дня", "Театр представил премьеру"},
                        Case{"vesti_regiona.xml", "Вести региона", "Ярмарка мёда в центре"},
                        Case{"novosti_koi8.xml", "Новости КОИ-8", "Ёлку установят к 20 декабря"},
                        Case{"europe_latin1.xml", "Europe Today «Latin-1»",
                             "Temperatures reach 18 °C in Lisbon"}}) {
    const std::vector<MessageValues> messages =
        Extract(FeedDocument::Load(std::string(VORLIN_SOURCE_DIR) + "/samples/feeds/" + c.file))
            .messages;
    ASSERT_EQ(messages.size(), c.file[0] == 'l' ? 4u : 3u) << c.file;
    EXPECT_EQ(messages.back()[kTitleRss], W(c.channel)) << c.file;
    EXPECT_EQ(messages.back()[kTitle], W(c.title)) << c.file;
    if (c.file[0] == 'e') {
      EXPECT_EQ(messages[0][kTitle], "Caf&#233; culture returns to Paris");
    }
  }
}

}  // namespace
}  // namespace vorlin::testing
