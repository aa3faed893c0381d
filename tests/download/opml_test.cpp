// OPML import and export, and feed discovery: the core on files and pages written here, and
// the two vorlin-cli commands against the test's feed server.
#include "download/opml.h"

#include <gtest/gtest.h>

#include "download/feed_discovery.h"
#include "feed_server.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

TEST(Opml, ImportFlattensCategoriesSkipsListedUrlsAndTakesTextElseTitle) {
  const std::string opml = R"(<?xml version="1.0" encoding="windows-1251"?>
<opml version="2.0"><head><title>t</title></head><body>
  <outline text="News">
    <outline text="Tech"><outline type="rss" title="Deep &amp; nested" xmlUrl="http://n/deep"/></outline>
    <outline type="rss" text=")" +
                           W("Лента") + R"(" title="ignored" xmlUrl=" http://n/ru "/>
  </outline>
  <outline type="rss" text="listed" xmlUrl="http://n/listed"/>
  <outline type="rss" text="twice" xmlurl="http://n/deep"/>
  <outline type="link" text="no feed" url="http://n/page"/>
</body></opml>)";
  DownloadGrid grid;
  grid.rows.push_back({"http://n/listed", "stamp", "2", "", "", "mine"});
  EXPECT_EQ(ImportOpmlRows(grid, ParseOpml(opml, "f.opml")), 2);
  ASSERT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(grid.rows[1], (DownloadRow{"http://n/listed", "stamp", "2", "", "", "mine"}));
  EXPECT_EQ(grid.rows[2], (DownloadRow{"http://n/deep", "", "1", "", "", "Deep & nested"}));
  EXPECT_EQ(grid.rows[3], (DownloadRow{"http://n/ru", "", "1", "", "", W("Лента")}));

  for (const char* bad : {"<html><body/></html>", "<opml><body>", "not xml at all"}) {
    const std::string error = test::ErrorText([&] { ParseOpml(bad, "bad.opml"); });
    EXPECT_NE(error.find("bad.opml is not an OPML file"), std::string::npos) << error;
  }
}

TEST(Opml, ExportPassesXmllintAndImportsBackToTheSameRows) {
  test::TempDir dir;
  DownloadGrid grid;
  SetDownloadGridHeaders(grid);
  grid.rows.push_back({"http://a/?x=1&y=<2>", "12/07/26 00:30:00", "0", "3", "15",
                       W("Цитата \"в кавычках\" & <тег>")});
  grid.rows.push_back({"https://b/feed", "", "1", "", "", ""});
  ExportOpmlFile(grid, dir / "out.opml");
  const std::string check = "xmllint --noout " + dir / "out.opml" + " 2>" + dir / "lint";
  EXPECT_EQ(std::system(check.c_str()), 0) << test::ReadBytes(dir.path() / "lint");
  EXPECT_NE(
      test::ReadBytes(dir.path() / "out.opml")
          .find("<outline type=\"rss\" text=\"\" xmlUrl=\"https://b/feed\" vorlin:days=\"1\"/>"),
      std::string::npos);
  DownloadGrid back;
  SetDownloadGridHeaders(back);
  EXPECT_EQ(ImportOpmlFile(dir / "out.opml", back), 2);
  EXPECT_EQ(back.rows, grid.rows);
}

TEST(FeedDiscovery, FindsAnnouncedFeedsMadeAbsolute) {
  const std::string page = R"(<!DOCTYPE html><html><head>
<base href="/blog/">
<link rel="stylesheet" href="s.css">
<link rel="alternate" hreflang="en" type="application/rss+xml" href="/en/rss">
<link rel="Alternate" type="application/rss+xml; charset=utf-8" href="rss.xml">
<LINK REL="feed alternate" TYPE="application/atom+xml" HREF="//cdn.example/atom">
<link rel="alternate" type="application/rdf+xml" href="https://other.example/index.rdf">
<link rel="alternate" type="text/html" href="/mobile">
<link rel="alternate" type="application/rss+xml" href="rss.xml">
</head><body><p>unclosed <b>markup</body>)";
  EXPECT_EQ(DiscoverFeeds(page, "http://site.example/a/page.html"),
            (std::vector<std::string>{"http://site.example/blog/rss.xml", "http://cdn.example/atom",
                                      "https://other.example/index.rdf"}));
  EXPECT_TRUE(DiscoverFeeds("<html><head><title>x</title></head></html>", "http://a/").empty());
  EXPECT_TRUE(DiscoverFeeds("", "http://a/").empty());
  EXPECT_EQ(ResolveUrl("http://a/b/c", "../d?q#f"), "http://a/d?q#f");

  EXPECT_TRUE(LooksLikeFeed("<?xml version=\"1.0\"?><!-- c --><rss version=\"2.0\"/>"));
  EXPECT_TRUE(LooksLikeFeed("<feed xmlns=\"http://www.w3.org/2005/Atom\"/>"));
  EXPECT_TRUE(LooksLikeFeed(
      "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"></rdf:RDF>"));
  EXPECT_FALSE(LooksLikeFeed("<html><link rel=\"alternate\"></html>"));
  EXPECT_FALSE(LooksLikeFeed("<opml/>"));
}

TEST(FeedSourcesCli, DiscoverPrintsTheFeedsOfAPageAndOpmlImportAddsOnlyNewFeeds) {
  test::FeedServer server;
  ASSERT_TRUE(server.Up());
  test::CliRun run = test::RunCli("discover " + server.Url("/site/x"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, server.Url("/feed/x") + "\n");
  EXPECT_EQ(test::RunCli("discover " + server.Url("/feed/y")).out, server.Url("/feed/y") + "\n");
  run = test::RunCli("discover " + server.Url("/status/200"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("announces no feed"), std::string::npos) << run.err;

  test::TempDir dir;
  test::WriteBytes(dir.path() / "in.opml",
                   "<opml><body><outline text=\"A\" xmlUrl=\"http://a/\"/></body></opml>");
  const std::string import = "opml-import " + dir / "in.opml" + " " + dir / "l.RssUrl";
  EXPECT_EQ(test::RunCli(import).out, "1\n");
  EXPECT_EQ(test::RunCli(import).out, "0\n");
  EXPECT_EQ(test::RunCli("opml-export " + dir / "l.RssUrl " + dir / "out.opml").status, 0);
  test::RunCli("opml-import " + dir / "out.opml " + dir / "again.RssUrl");
  EXPECT_EQ(test::ReadBytes(dir.path() / "again.RssUrl"), test::ReadBytes(dir.path() / "l.RssUrl"));
  EXPECT_EQ(test::RunCli("opml-import " + dir / "l.RssUrl " + dir / "x.RssUrl").status, 1);
}

}  // namespace
}  // namespace vorlin
