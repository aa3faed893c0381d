// The positional item walk: which items become messages, and the store text they become.
#include "ingest/item_extraction.h"

#include <gtest/gtest.h>

#include "ingest/rss_file.h"
#include "ingest_test_support.h"
#include "store/crc32.h"
#include "store/store_walk.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

using testing::Feed;
using testing::Item;

struct Extracted {
  std::string text;  // Windows-1251 store text
  int count = 0;
  std::vector<MessageValues> messages;  // the store text read back
};

Extracted Walk(ItemExtractor& extractor, const std::string& xml) {
  FeedDocument doc = FeedDocument::Parse(xml, "test.xml");
  extractor.ResetFileState();
  extractor.WalkNodes(doc.FirstChild());
  Extracted out{extractor.NewItemText(), extractor.NewMessages(), {}};
  WalkStoreText(out.text, kAllFields, [&](MessageValues& v) { out.messages.push_back(v); });
  return out;
}

Extracted Extract(const std::string& xml, bool unique = false) {
  KeyIndex index;
  ItemExtractor extractor(unique, index);
  return Walk(extractor, xml);
}

TEST(ItemExtractionTest, ACompleteItemBecomesOneStoreBlockWithTheChannelTitle) {
  Extracted e = Extract(Feed("Лента", Item("Заголовок", "<![CDATA[<p>Текст</p>]]>")));
  ASSERT_EQ(e.count, 1);
  EXPECT_EQ(e.text, W("<item>\r\n"
                      "<titleRss><![CDATA[Лента]]></titleRss>\r\n"
                      "<title><![CDATA[Заголовок]]></title>\r\n"
                      "<link><![CDATA[https://example.org/Заголовок]]></link>\r\n"
                      "<description><![CDATA[<p>Текст</p>]]></description>\r\n"
                      "<pubDate><![CDATA[Mon, 30 Nov 2026 09:00:00 GMT]]></pubDate>\r\n"
                      "</item>\r\n"));
}

TEST(ItemExtractionTest, ItemsLackingAFieldOrItsTextGiveNoMessage) {
  const std::string noDate =
      "<item><title>a</title><link>l</link><description>d</description></item>";
  const std::string emptyDescription =
      "<item><title>b</title><link>l</link><description></description><pubDate>p</pubDate>"
      "</item>";
  const std::string emptyCData =
      "<item><title>c</title><link>l</link><description><![CDATA[]]></description>"
      "<pubDate>p</pubDate></item>";
  const std::string blankDescription =
      "<item><title>d</title><link>l</link><description>  \n </description>"
      "<pubDate>p</pubDate></item>";
  Extracted e = Extract(Feed("c", noDate + emptyDescription + emptyCData + blankDescription));
  ASSERT_EQ(e.count, 1);
  EXPECT_EQ(e.messages[0][kTitle], "c");
  EXPECT_EQ(e.messages[0][kDescription], "");
}

TEST(ItemExtractionTest, ADescriptionSplitIntoTextAndCDataTakesTheLastPartOrSplitsTheItem) {
  // Description before the date: the CDATA part replaces the text part.
  Extracted before = Extract(Feed("c",
                                  "<item><title>t</title><link>l</link>"
                                  "<description>first <![CDATA[second]]></description>"
                                  "<pubDate>p</pubDate></item>"));
  ASSERT_EQ(before.count, 1);
  EXPECT_EQ(before.messages[0][kDescription], "second");
  // Description last: the item is complete with the text part; the CDATA part starts an item
  // that never completes.
  Extracted last = Extract(Feed("c",
                                "<item><title>t</title><link>l</link><pubDate>p</pubDate>"
                                "<description>first <![CDATA[second]]></description></item>"));
  ASSERT_EQ(last.count, 1);
  EXPECT_EQ(last.messages[0][kDescription], "first ");
}

TEST(ItemExtractionTest, AChannelImageNeverBecomesAMessage) {
  Extracted e = Extract(Feed("c",
                             "<image><title>logo</title><link>l</link><url>u</url></image>"
                             "<item><description>d</description><pubDate>p</pubDate></item>"));
  EXPECT_EQ(e.count, 0);
  EXPECT_EQ(e.text, "");
}

TEST(ItemExtractionTest, ItemsBeforeTheChannelTitleHaveAnEmptyOneAndPrefixedNamesDoNotMatch) {
  Extracted e =
      Extract("<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><channel>" +
              Item("early", "d1") + "<title>Named</title>" + Item("late", "d2") +
              "<item><dc:title>x</dc:title><link>l</link><description>d3</description>"
              "<pubDate>p</pubDate></item></channel></rss>");
  ASSERT_EQ(e.count, 2);
  EXPECT_EQ(e.messages[0][kTitleRss], "");
  EXPECT_EQ(e.messages[1][kTitleRss], "Named");
}

TEST(ItemExtractionTest, CDataTerminatorsAreEscapedAndTheKeyIsTakenOverTheEscapedText) {
  KeyIndex index;
  ItemExtractor extractor(true, index);
  Extracted e = Walk(extractor, Feed("c", Item("a ]]&gt; b", "x ]]&gt; y")));
  ASSERT_EQ(e.count, 1);
  EXPECT_EQ(e.messages[0][kTitle], "a &#093;&#093;> b");
  EXPECT_EQ(e.messages[0][kDescription], "x &#093;&#093;> y");
  EXPECT_TRUE(index.Contains(MessageKey("x &#093;&#093;> y")));
}

TEST(ItemExtractionTest, UniqueDescriptionsAcrossTheSameFileOtherFilesAndTheStore) {
  KeyIndex index;
  index.Add(MessageKey("stored"));
  ItemExtractor extractor(true, index);
  Walk(extractor, Feed("c", Item("1", "stored") + Item("2", "new") + Item("3", "new")));
  EXPECT_EQ(extractor.NewMessages(), 1);
  Walk(extractor, Feed("other", Item("4", "new") + Item("5", "newer")));
  EXPECT_EQ(extractor.NewMessages(), 2);
  EXPECT_EQ(index.Size(), 3u);
  EXPECT_EQ(extractor.AddedKeys(),
            (std::vector<std::string>{MessageKey("new"), MessageKey("newer")}));
  // Without the option every complete item is kept and the index is left alone.
  KeyIndex untouched;
  ItemExtractor all(false, untouched);
  Walk(all, Feed("c", Item("1", "same") + Item("2", "same")));
  EXPECT_EQ(all.NewMessages(), 2);
  EXPECT_EQ(untouched.Size(), 0u);
}

TEST(ItemExtractionTest, FeedsInFourEncodingsGiveTheSameWindows1251Text) {
  const std::string utf8Title = "Ёлка «Новости» café";
  const std::string expected = W("Ёлка «Новости» caf?");
  for (const char* enc : {"utf-8", "windows-1251", "koi8-r"}) {
    std::string body = Feed(utf8Title, Item("t", "d"));
    body.replace(body.find("utf-8"), 5, enc);
    // Re-encode the UTF-8 text through the declared code page ("?" where it lacks a letter).
    std::string bytes = body;
    if (std::string(enc) == "windows-1251") bytes = Utf8ToCp1251(body);
    if (std::string(enc) == "koi8-r") {
      bytes.clear();
      static const std::string kKoi =
          "юабцдефгхийклмнопярстужвьызшэщчъЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧЪ";
      const std::string cp = Utf8ToCp1251(body);
      const std::string koiCp = Utf8ToCp1251(kKoi);
      for (char c : cp) {
        size_t at = koiCp.find(c);
        if (static_cast<unsigned char>(c) < 0x80) {
          bytes.push_back(c);
        } else if (c == W("Ё")[0]) {
          bytes.push_back(static_cast<char>(0xB3));
        } else if (at != std::string::npos) {
          bytes.push_back(static_cast<char>(0xC0 + at));
        } else {
          bytes.push_back('?');  // « » é are not in KOI8-R
        }
      }
    }
    Extracted e = Extract(bytes);
    ASSERT_EQ(e.count, 1) << enc;
    if (std::string(enc) == "koi8-r") {
      EXPECT_EQ(e.messages[0][kTitleRss], W("Ёлка ?Новости? caf?")) << enc;
    } else {
      EXPECT_EQ(e.messages[0][kTitleRss], expected) << enc;
    }
  }
  std::string latin1 =
      "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><rss version=\"2.0\">"
      "<channel><title>caf\xE9 \xAB\xA9\xBB</title>" +
      Item("t", "d") + "</channel></rss>";
  Extracted e = Extract(latin1);
  ASSERT_EQ(e.count, 1);
  EXPECT_EQ(e.messages[0][kTitleRss], W("caf? «©»"));
}

}  // namespace
}  // namespace vorlin
