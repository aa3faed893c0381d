// Recognition of RSS files by their bytes, and the safety of the feed parser.
#include "ingest/rss_file.h"

#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <chrono>
#include <functional>

#include "ingest_test_support.h"

namespace vorlin {
namespace {

using testing::TempDir;
using testing::WriteFile;

class RecognitionTest : public ::testing::Test {
 protected:
  bool Recognised(const std::string& bytes) {
    WriteFile(dir_ / "f.xml", bytes);
    return IsRssFile(dir_ / "f.xml");
  }
  TempDir dir_;
};

TEST_F(RecognitionTest, FindsTheMarkAnywhereAlsoAcrossTheBlockBoundary) {
  EXPECT_TRUE(Recognised("<rss version=\"2.0\"></rss>"));
  EXPECT_TRUE(Recognised("<rss "));
  // Every start position around the end of the first 512-byte block and of the next one
  // (which starts 6 bytes before the end of the first).
  for (size_t at : {500, 505, 506, 507, 508, 509, 510, 511, 512, 1010, 1011, 1014, 1015, 1016}) {
    std::string bytes(1100, 'x');
    bytes.replace(at, 5, "<rss ");
    ASSERT_TRUE(Recognised(bytes)) << "mark at " << at;
  }
}

TEST_F(RecognitionTest, CountsAMarkInsideACommentOrCData) {
  EXPECT_TRUE(Recognised("<?xml version=\"1.0\"?><!-- <rss version=\"2.0\"> --><feed/>"));
  EXPECT_TRUE(Recognised("<doc><![CDATA[<rss ]]></doc>"));
}

TEST_F(RecognitionTest, RefusesOtherSpellingsShortFilesAndWideText) {
  EXPECT_FALSE(Recognised("<RSS version=\"2.0\"></RSS>"));
  EXPECT_FALSE(Recognised("<rss><channel/></rss>"));
  EXPECT_FALSE(Recognised("<rss\nversion=\"2.0\"></rss>"));
  EXPECT_FALSE(Recognised("<rss\tversion=\"2.0\"></rss>"));
  EXPECT_FALSE(Recognised("<feed xmlns=\"http://www.w3.org/2005/Atom\"/>"));
  EXPECT_FALSE(Recognised("<rss"));
  EXPECT_FALSE(Recognised(""));
  EXPECT_FALSE(Recognised(std::string("<\0r\0s\0s\0 \0", 10)));
}

TEST_F(RecognitionTest, AFileThatCannotBeOpenedIsReportedWithItsReason) {
  std::string reason;
  EXPECT_EQ(CheckRssFile(dir_ / "missing.xml", &reason), RssCheck::kUnreadable);
  EXPECT_EQ(reason, "No such file or directory");
  std::filesystem::create_directory(dir_ / "folder.xml");
  EXPECT_EQ(CheckRssFile(dir_ / "folder.xml", &reason), RssCheck::kUnreadable);
  EXPECT_NE(testing::ErrorText([&] { IsRssFile(dir_ / "missing.xml"); }).find("missing.xml"),
            std::string::npos);
}

TEST(FeedParserTest, ReadsNoExternalEntity) {
  TempDir dir;
  WriteFile(dir / "secret.txt", "TOP-SECRET-CONTENT");
  const std::string feed = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n<!ENTITY x SYSTEM \"file://" +
                           dir.Folder() + "secret.txt\">\n]>\n<rss version=\"2.0\"><channel>" +
                           "<title>t</title><item><description>&x;</description></item>" +
                           "</channel></rss>";
  // Whatever the tree holds, nowhere does the secret appear; refusing the feed is fine too.
  std::string seen;
  std::function<void(xmlNode*)> collect = [&](xmlNode* n) {
    for (; n != nullptr; n = n->next) {
      if (n->content != nullptr) seen += reinterpret_cast<const char*>(n->content);
      if (n->type != XML_ENTITY_DECL) collect(n->children);
    }
  };
  seen += testing::ErrorText<FeedParseError>(
      [&] { collect(FeedDocument::Parse(feed, "xxe.xml").FirstChild()); });
  EXPECT_EQ(seen.find("TOP-SECRET"), std::string::npos);
}

TEST(FeedParserTest, RejectsExponentialEntityExpansionQuickly) {
  std::string feed = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n<!ENTITY l0 \"lol\">\n";
  for (int i = 1; i <= 10; ++i) {
    feed += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) feed += "&l" + std::to_string(i - 1) + ";";
    feed += "\">\n";
  }
  feed += "]>\n<rss version=\"2.0\"><channel><title>&l10;</title></channel></rss>";
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(FeedDocument::Parse(feed, "laughs.xml"), FeedParseError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(FeedParserTest, ASyntaxErrorNamesTheFeedAndLine) {
  const std::string what = testing::ErrorText<FeedParseError>(
      [] { FeedDocument::Parse("<rss version=\"2.0\">\n<channel>\n</rss>", "bad.xml"); });
  EXPECT_NE(what.find("bad.xml"), std::string::npos) << what;
  EXPECT_NE(what.find("line 3"), std::string::npos) << what;
}

}  // namespace
}  // namespace vorlin
