// Atom, RSS 1.0 and RSS 0.9x files: recognition, the mapping of their entries to messages, and
// what the run does with them and with files that are no feed.
#include <gtest/gtest.h>

#include "ingest/atom_rdf_reader.h"
#include "ingest/feed_text.h"
#include "ingest/ingestion_run.h"
#include "ingest_test_support.h"
#include "util/cp1251.h"
#include "util/rss_date.h"

namespace vorlin::testing {
namespace {

// Each entry as channel title, title, link, description and date.
using Entry = std::vector<std::string>;
std::vector<Entry> Entries(const std::string& xml) {
  const FeedDocument doc = FeedDocument::Parse(xml, "test.xml");
  std::string root;
  std::vector<Entry> out;
  ReadAtomOrRdf(doc, DocumentFormat(doc, root), [&](const FeedEntry& e) {
    out.push_back({e.channelTitle, e.title, e.link, e.description, e.date});
  });
  return out;
}

// An Atom 1.0 feed as blogs publish it, one entry per mapping rule.
const char kAtomFeed[] = R"(<?xml version="1.0" encoding="utf-8"?>
<feed xmlns="http://www.w3.org/2005/Atom" xml:lang="en">
  <title type="html">Caf&amp;eacute; &lt;b&gt;Notes&lt;/b&gt;</title>
  <link rel="self" href="https://blog.example.com/feed.atom"/>
  <updated>2026-12-06T10:00:00Z</updated>
  <entry>
    <title type="html">A &lt;em&gt;bold&lt;/em&gt; &amp;amp; new
      start</title>
    <link rel="related" href="https://elsewhere.example.org/"/>
    <link rel="alternate" type="application/pdf" href="/2026/12/start.pdf"/>
    <link rel="alternate" type="text/html" href="/2026/12/start"/>
    <published>2026-12-05T15:30:00+03:00</published>
    <updated>2026-12-06T09:00:00Z</updated>
    <summary>Short &lt;plain&gt; text</summary>
    <content type="html">&lt;p&gt;Full &lt;b&gt;HTML&lt;/b&gt;&lt;/p&gt;</content>
  </entry>
  <entry xml:base="https://cdn.example.net/posts/">
    <title type="xhtml"><div xmlns="http://www.w3.org/1999/xhtml">X <i>html</i></div></title>
    <link href="second.html"/>
    <updated>2026-12-04T08:00:00.123-05:00</updated>
    <content src="https://cdn.example.net/video.mp4" type="video/mp4"/>
    <summary type="xhtml"><div xmlns="http://www.w3.org/1999/xhtml"><p>Para &amp; <a href="x">link</a><br/></p></div></summary>
  </entry>
  <entry>
    <title>Only a title &amp; a date</title>
    <id>https://blog.example.com/2026/12/third</id>
    <dc:date xmlns:dc="http://purl.org/dc/elements/1.1/">2026-12-03</dc:date>
  </entry>
  <entry><title>Undated</title><link href="https://blog.example.com/u"/><summary>s</summary></entry>
</feed>)";

TEST(AtomReaderTest, EachFieldFollowsItsRule) {
  // Markup turned to text; the alternate web page wins over the first link and over an
  // alternate of another type, and is made absolute against the feed's own address; content
  // wins over summary; published over updated.
  // xml:base; out-of-line content does not count; xhtml serialised without its div.
  // No link: a permalink id; no content or summary: none (the run takes the title); dc:date.
  const std::string c = "Café Notes";
  EXPECT_EQ(Entries(kAtomFeed),
            (std::vector<Entry>{
                {c, "A bold & new start", "https://blog.example.com/2026/12/start",
                 "<p>Full <b>HTML</b></p>", "Sat, 05 Dec 2026 15:30:00 +0300"},
                {c, "X html", "https://cdn.example.net/posts/second.html",
                 "<p>Para &amp; <a href=\"x\">link</a><br></p>", "Fri, 04 Dec 2026 08:00:00 -0500"},
                {c, "Only a title & a date", "https://blog.example.com/2026/12/third", "",
                 "Thu, 03 Dec 2026 00:00:00 +0000"},
                {c, "Undated", "https://blog.example.com/u", "s", ""}}));
}

TEST(AtomReaderTest, Atom03AndRss10FeedsAsPublished) {
  EXPECT_EQ(Entries(R"(<?xml version="1.0" encoding="utf-8"?>
<feed version="0.3" xmlns="http://purl.org/atom/ns#">
  <title mode="escaped" type="text/html">Old &amp;lt;Atom&amp;gt;</title>
  <link rel="alternate" type="text/html" href="http://old.example.com/"/>
  <entry>
    <title>Plain &lt;text&gt;</title>
    <link rel="alternate" type="text/html" href="http://old.example.com/2005/1"/>
    <modified>2005-07-31T12:29:29Z</modified>
    <issued>2005-07-31T08:29:29-04:00</issued>
    <summary type="text/plain">a &lt; b</summary>
    <content type="text/html" mode="escaped">&lt;p&gt;Hi&lt;/p&gt;</content>
  </entry>
</feed>)"),
            (std::vector<Entry>{{"Old <Atom>", "Plain <text>", "http://old.example.com/2005/1",
                                 "<p>Hi</p>", "Sun, 31 Jul 2005 08:29:29 -0400"}}));
  // A link in Japanese made absolute as written; a plain title stays as it is; no link: the
  // item's rdf:about; no date: none.
  EXPECT_EQ(Entries(R"(<?xml version="1.0" encoding="utf-8"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns="http://purl.org/rss/1.0/" xmlns:dc="http://purl.org/dc/elements/1.1/"
         xmlns:content="http://purl.org/rss/1.0/modules/content/">
  <channel rdf:about="https://news.example.jp/rss/index.rdf">
    <title>News  &#26085;&#26412;</title>
    <link>https://news.example.jp/</link>
    <items><rdf:Seq><rdf:li rdf:resource="https://news.example.jp/a"/></rdf:Seq></items>
  </channel>
  <image rdf:about="https://news.example.jp/logo.png"><title>logo</title></image>
  <item rdf:about="https://news.example.jp/a">
    <title>Tom &amp;amp; Jerry &lt;b&gt;return&lt;/b&gt;</title>
    <link>/a/記事 1</link>
    <description>Short</description>
    <content:encoded><![CDATA[<p>Long</p>]]></content:encoded>
    <dc:date>2026-12-07T09:00+09:00</dc:date>
  </item>
  <item rdf:about="https://news.example.jp/b">
    <title>AT&amp;T 5 &lt; 6</title>
    <description>&lt;i&gt;as given&lt;/i&gt;</description>
  </item>
  <textinput rdf:about="https://news.example.jp/search"><title>Search</title></textinput>
</rdf:RDF>)"),
            (std::vector<Entry>{
                {"News 日本", "Tom & Jerry return", "https://news.example.jp/a/記事 1",
                 "<p>Long</p>", "Mon, 07 Dec 2026 09:00:00 +0900"},
                {"News 日本", "AT&T 5 < 6", "https://news.example.jp/b", "<i>as given</i>", ""}}));
}

TEST(FeedTextTest, DatesInTheStoresFormAndMarkupAsText) {
  const std::pair<const char*, const char*> dates[] = {
      {"2026-12-07T23:59:60Z", "Mon, 07 Dec 2026 23:59:59 +0000"},
      {" 2024-02-29t01:02:03+0530 ", "Thu, 29 Feb 2024 01:02:03 +0530"},
      {"2026-12", "Tue, 01 Dec 2026 00:00:00 +0000"},
      {"Sat, 05 Dec 2026 15:30:00 GMT", "Sat, 05 Dec 2026 15:30:00 GMT"},
      {"2023-02-29", nullptr},
      {"2026-12-07T25:00Z", nullptr},
      {"2026-12-07T10:00+3", nullptr},
      {"yesterday", nullptr},
      {"2026-1-07", nullptr}};
  for (const auto& [text, expected] : dates) {
    std::string out = "unchanged";
    EXPECT_EQ(FeedDateToRfc822(text, out), expected != nullptr) << text;
    EXPECT_EQ(out, expected != nullptr ? expected : "unchanged") << text;
  }
  EXPECT_EQ(HtmlToText("<p>One</p><p>two<br>three</p><script>x()</script> &eacute;&#8364;"),
            "One two three é€");
}

TEST(FeedFormatTest, TheRootElementDecidesNotTheName) {
  struct Case {
    const char* bytes;
    FeedFormat format;
    const char* root;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- <html> -->\n<feed xmlns=\"x\">",
       FeedFormat::kAtom, "feed"},
      {"<!DOCTYPE rdf:RDF [<!ENTITY a \"b\">]><rdf:RDF>", FeedFormat::kRdf, "rdf:RDF"},
      {"<rss>", FeedFormat::kRss, "rss"},
      {"<!DOCTYPE html>\n<html><body>", FeedFormat::kHtml, ""},
      {"<HTML><HEAD>", FeedFormat::kHtml, "HTML"},
      {"Not found\n<html>", FeedFormat::kHtml, ""},
      {"{\"items\": []}", FeedFormat::kNotXml, ""},
      {"", FeedFormat::kNotXml, ""},
      {"<?xml version=\"1.0\"?><opml version=\"2.0\">", FeedFormat::kUnknownRoot, "opml"},
  };
  for (const Case& c : cases) {
    std::string root;
    EXPECT_EQ(SniffFeedFormat(c.bytes, root), c.format) << c.bytes;
    EXPECT_EQ(root, c.root) << c.bytes;
  }
  std::string root;
  EXPECT_EQ(SniffFeedFormat(std::string("\xFF\xFE<\0f\0e\0e\0d\0>\0", 14), root),
            FeedFormat::kAtom);
}

class FeedRunTest : public IngestRunTest {
 protected:
  FeedRunTest() { options_.purgeDuplicates = false; }
  // Runs as a timed run does; returns the store's messages.
  std::vector<MessageValues> Run() {
    IngestEnv env = Env();
    RunIngestion(options_, env);
    const MessageList list = LoadedStore(options_.storeName);
    std::vector<MessageValues> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
    return out;
  }
};

TEST_F(FeedRunTest, EveryFamilyReachesTheStoreAndOtherFilesAreNamedInTheLog) {
  WriteFile(Feeds("a_atom.xml"), kAtomFeed);
  WriteFile(Feeds("b_rss091.xml"),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<rss version=\"0.91\"><channel>"
            "<title>Old</title><item><title>T1</title><link>http://o/1</link><description>D1"
            "</description></item><textInput><title>Search</title><description>s</description>"
            "<name>q</name><link>http://o/s</link></textInput></channel></rss>");
  WriteFile(Feeds("c_page.xml"), "<!DOCTYPE html><html><body>404</body></html>");
  WriteFile(Feeds("d_json.xml"), "{}");
  WriteFile(Feeds("e_opml.xml"), "<opml version=\"2.0\"><body/></opml>");
  WriteFile(Feeds("f_cut.xml"), "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry>");
  WriteFile(Feeds("g_plain.xml"), "<feed><entry><title>no namespace</title></entry></feed>");
  const std::string f = dir_.Folder() + "feeds/";

  std::vector<MessageValues> stored = Run();
  EXPECT_EQ(log_,
            (std::vector<std::string>{
                "    Сканирование файлов перед загрузкой ",
                " Не лента новостей, страница HTML (Not a feed, an HTML page) " + f + "c_page.xml",
                " Не лента новостей, не XML (Not a feed, not XML) " + f + "d_json.xml",
                " Не лента новостей, неизвестный корневой элемент <opml> (Not a feed, "
                "unknown root element <opml>) " +
                    f + "e_opml.xml",
                " Ошибка при парсинге файла " + f + "f_cut.xml",
                " Не лента новостей, неизвестный корневой элемент <feed> (Not a feed, "
                "unknown root element <feed>) " +
                    f + "g_plain.xml",
                "    Запись найденых сообщений в файл ",
                "    Загрузка завершена.Загружено новых сообщений 3",
            }));
  // By default undated entries and RSS 0.91 items give nothing; a title stands in for a
  // missing description; a character the code page lacks is a reference in the store.
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0],
            (MessageValues{"Caf&#233; Notes", "A bold & new start",
                           "https://blog.example.com/2026/12/start", "<p>Full <b>HTML</b></p>",
                           "Sat, 05 Dec 2026 15:30:00 +0300"}));
  EXPECT_EQ(stored[2][kDescription], "Only a title & a date");

  // With the option, the undated ones come in dated with the run's clock, and only once.
  options_.keepUndated = true;
  stored = Run();
  ASSERT_EQ(stored.size(), 5u);
  EXPECT_EQ(stored[3][kTitle], "Undated");
  EXPECT_EQ(stored[4][kTitleRss], "Old");
  EXPECT_EQ(stored[4][kDescription], "D1");
  EXPECT_EQ(stored[4][kPubDate], Utf8ToCp1251(LocalRfc822(1796000000)));
  EXPECT_EQ(Run().size(), 5u);
}

}  // namespace
}  // namespace vorlin::testing
