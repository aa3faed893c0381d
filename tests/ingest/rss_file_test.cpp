// Recognition of RSS files by their bytes, and the safety of the feed parser.
#include "ingest/rss_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libxml/tree.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>

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
  EXPECT_TRUE(Recognised("<rss "));
  EXPECT_TRUE(Recognised("<?xml version=\"1.0\"?><!-- <rss version=\"2.0\"> --><feed/>"));
  // Every start position around the end of the first 512-byte block and of the next one
  // (which starts 6 bytes before the end of the first).
  for (size_t at : {500, 506, 507, 508, 509, 510, 511, 512, 1010, 1011, 1014, 1015, 1016}) {
    std::string bytes(1100, 'x');
    bytes.replace(at, 5, "<rss ");
    ASSERT_TRUE(Recognised(bytes)) << "mark at " << at;
  }
  for (const std::string& other : {std::string("<RSS version=\"2.0\">"), std::string("<rss>"),
                                   std::string("<rss\nversion=\"2.0\">"), std::string("<rss"),
                                   std::string("<\0r\0s\0s\0 \0", 10)}) {
    EXPECT_FALSE(Recognised(other)) << other;
  }
}

TEST_F(RecognitionTest, AFileThatCannotBeOpenedIsReportedWithItsReason) {
  std::string reason;
  EXPECT_EQ(CheckRssFile(dir_ / "missing.xml", &reason), RssCheck::kUnreadable);
  EXPECT_EQ(reason, "No such file or directory");
  std::filesystem::create_directory(dir_ / "folder.xml");
  EXPECT_EQ(CheckRssFile(dir_ / "folder.xml", &reason), RssCheck::kUnreadable);
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

TEST(FeedParserTest, RejectsExponentialEntityExpansionQuicklyAsALimitNotABadFile) {
  std::string feed = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n<!ENTITY l0 \"lol\">\n";
  for (int i = 1; i <= 10; ++i) {
    feed += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) feed += "&l" + std::to_string(i - 1) + ";";
    feed += "\">\n";
  }
  feed += "]>\n<rss version=\"2.0\"><channel><title>&l10;</title></channel></rss>";
  auto start = std::chrono::steady_clock::now();
  bool limit = false;
  try {
    FeedDocument::Parse(feed, "laughs.xml");
    ADD_FAILURE() << "expanded";
  } catch (const FeedParseError& e) {
    limit = e.ResourceLimit();
  }
  EXPECT_TRUE(limit);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(FeedParserTest, AValidFeedWithADescriptionOverTenMillionBytesParses) {
  const std::string big(10'000'100, 'x');
  const std::string feed =
      "<rss version=\"2.0\"><channel><title>t</title><item><description>"
      "<![CDATA[" +
      big + "]]></description></item></channel></rss>";
  FeedDocument doc = FeedDocument::Parse(feed, "big.xml");
  xmlNode* description = doc.FirstChild()->children->children->next->children;
  ASSERT_NE(description, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(description->children->content)).size(),
            big.size());
}

TEST(FeedParserTest, NeverOpensTheDtdOrAnEntityNamedByADoctype) {
  TempDir dir;
  const std::string fifo = dir.Folder() + "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string feed = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss SYSTEM \"file://" + fifo +
                           "\" [\n<!ENTITY x SYSTEM \"file://" + fifo +
                           "\">\n]>\n<rss version=\"2.0\"><channel><title>&x;&nbsp;</title>"
                           "</channel></rss>";
  // Opening the pipe for reading would block until a writer comes; the test then plays the
  // writer so that it ends, and fails.
  auto parse = std::async(std::launch::async, [&] {
    try {
      FeedDocument::Parse(feed, "dtd.xml");
    } catch (const Error&) {
    }
  });
  if (parse.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    ADD_FAILURE() << "the parser opened the pipe";
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  }
  parse.wait();
}

TEST(FeedParserTest, ASyntaxErrorNamesTheFeedAndLineAndIsNoLimit) {
  try {
    FeedDocument::Parse("<rss version=\"2.0\">\n<channel>\n</rss>", "bad.xml");
    ADD_FAILURE() << "parsed";
  } catch (const FeedParseError& e) {
    EXPECT_FALSE(e.ResourceLimit());
    const std::string what = e.what();
    EXPECT_NE(what.find("bad.xml"), std::string::npos) << what;
    EXPECT_NE(what.find("line 3"), std::string::npos) << what;
  }
}

}  // namespace
}  // namespace vorlin
