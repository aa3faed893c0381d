// Recognition of RSS files by their bytes, and the safety of the feed parser.
#include "ingest/rss_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libxml/tree.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <tuple>

#include "ingest_test_support.h"

namespace vorlin::testing {
namespace {

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

// A syntax error names the feed and its line; an entity bomb is refused quickly as a limit.
TEST(FeedParserTest, FailuresTellABadFileFromALimit) {
  std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n<!ENTITY l0 \"lol\">\n";
  for (int i = 1; i <= 10; ++i) {
    bomb += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) bomb += "&l" + std::to_string(i - 1) + ";";
    bomb += "\">\n";
  }
  bomb += "]>\n<rss version=\"2.0\"><channel><title>&l10;</title></channel></rss>";
  const auto start = std::chrono::steady_clock::now();
  for (const auto& [feed, limit, text] :
       {std::tuple{bomb, true, "laughs.xml"},
        std::tuple{std::string("<rss version=\"2.0\">\n<channel>\n</rss>"), false, "line 3"}}) {
    try {
      FeedDocument::Parse(feed, limit ? "laughs.xml" : "bad.xml");
      ADD_FAILURE() << text;
    } catch (const FeedParseError& e) {
      EXPECT_EQ(e.ResourceLimit(), limit) << text;
      EXPECT_NE(std::string(e.what()).find(limit ? "laughs.xml" : "bad.xml"), std::string::npos);
      EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
  }
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

}  // namespace
}  // namespace vorlin::testing
