// Fetching feeds with libcurl from the test's own servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <filesystem>

#include "download/feed_fetch.h"
#include "feed_server.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

using namespace std::chrono_literals;

// Short limits, so that failing servers fail within a fraction of a second.
FetchLimits TestLimits() {
  FetchLimits limits;
  limits.connectTimeout = 2000ms;
  limits.stallTimeout = 300ms;
  limits.totalTimeout = 5000ms;
  limits.maxBytes = 1 << 20;
  return limits;
}

TEST(FeedNames, StemDropsAnySchemeAndStopsAtTheFirstSlash) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://news.example/rss/all.xml", "news.example"},
      {"HTTPS://Host.example/x", "Host.example"},
      {"ftp://h:21/f", "h:21"},
      {"svn+ssh.x-1://h/x", "h"},
      {"http://http://h/x", "h"},
      {"http://no-path.example", ""},
      {"file:///etc/passwd", ""},
      {"news.example/rss", "news.example"},
  };
  for (const auto& [url, stem] : cases) EXPECT_EQ(FeedFileStem(url), stem) << url;
}

class Fetch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Up()) << "the feed server did not start";
    folder_ = dir_.Folder() + "down";
    std::filesystem::create_directory(dir_.path() / "down");
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path() / "down")) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Body(const std::string& name) const {
    return test::ReadBytes(dir_.path() / "down" / name);
  }

  test::FeedServer server_{std::string(VORLIN_SOURCE_DIR) + "/tests/download"};
  test::TempDir dir_;
  std::string folder_;
  test::RecordingProgress progress_;
  FeedFetcher fetcher_{TestLimits()};
};

TEST_F(Fetch, NewFilesAreNumberedAfterLeftoversAndNeverOverwrite) {
  test::WriteBytes(dir_.path() / "down" / "127.0.0.1:0_1.tmp", "");  // not our port: unused
  const std::string stem = "127.0.0.1:" + std::to_string(server_.port());
  test::WriteBytes(dir_.path() / "down" / (stem + "_1.tmp"), "left over");
  ASSERT_TRUE(fetcher_.DownloadFeedToFolder(server_.Url("/feed/a"), folder_, progress_));
  ASSERT_TRUE(fetcher_.DownloadFeedToFolder(server_.Url("/feed/b"), folder_ + "/", progress_));
  EXPECT_EQ(Files(), (std::vector<std::string>{"127.0.0.1:0_1.tmp", stem + "_1.tmp",
                                               stem + "_2.xml", stem + "_3.xml"}));
  EXPECT_NE(Body(stem + "_2.xml").find("<title>a</title>"), std::string::npos);
  EXPECT_NE(Body(stem + "_3.xml").find("<title>b</title>"), std::string::npos);
  EXPECT_EQ(Body(stem + "_1.tmp"), "left over");
  EXPECT_EQ(fetcher_.LastFile(), folder_ + "/" + stem + "_3.xml");
}

TEST_F(Fetch, GoodBodiesAreStoredWholeAndDecoded) {
  const std::pair<std::string, std::string> cases[] = {
      {server_.Url("/redirect/9"), "<title>redirected</title>"},
      {server_.Url("/gzip"), "<title>gzipped</title>"},
      {server_.Url("/chunked"), "<title>chunked</title>"},
      {server_.FtpUrl("/feed_server.py"), "A small feed server"},
  };
  for (const auto& [url, expected] : cases) {
    ASSERT_TRUE(fetcher_.DownloadFeedToFolder(url, folder_, progress_))
        << url << ": " << fetcher_.LastError();
    const std::string body = test::ReadBytes(Utf8ToCp1251(fetcher_.LastFile()));
    EXPECT_NE(body.find(expected), std::string::npos) << url;
  }
  EXPECT_EQ(test::ReadBytes(Utf8ToCp1251(fetcher_.LastFile())),
            test::ReadBytes(std::string(VORLIN_SOURCE_DIR) + "/tests/download/feed_server.py"));
  EXPECT_EQ(
      test::ReadBytes(folder_ + "/127.0.0.1:" + std::to_string(server_.port()) + "_3.xml").size(),
      5000u);
}

TEST_F(Fetch, FailuresLeaveNoFileBehind) {
  const std::string dictUrl = "dict://127.0.0.1:" + std::to_string(server_.port()) + "/d";
  const std::string cases[] = {
      server_.Url("/status/404"),     server_.Url("/status/500"),
      server_.Url("/redirect/10"),    server_.Url("/loop"),
      server_.Url("/stall"),          server_.Url("/silent"),
      server_.Url("/endless"),        server_.Url("/empty"),
      "file:///etc/passwd",           dictUrl,
      server_.FtpUrl("/missing.xml"), "http://127.0.0.1:1/refused",
  };
  for (const std::string& url : cases) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(fetcher_.DownloadFeedToFolder(url, folder_, progress_)) << url;
    EXPECT_FALSE(fetcher_.LastError().empty()) << url;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << url;
    EXPECT_EQ(Files(), std::vector<std::string>{}) << url;
  }
}

TEST_F(Fetch, StatusTextsAndRequestHeaders) {
  const std::string url = server_.Url("/headers");
  const std::string file = folder_ + "/h.xml";
  const int64_t bytes = fetcher_.FetchUrlToFile(url, file, progress_);
  const std::string body = test::ReadBytes(file);
  EXPECT_EQ(bytes, static_cast<int64_t>(body.size()));
  for (const char* header : {"User-Agent: Rss Download", "Pragma: no-cache",
                             "Cache-Control: no-cache", "Accept-Encoding: "}) {
    EXPECT_NE(body.find(header), std::string::npos) << header;
  }
  EXPECT_EQ(progress_.texts.front(), "Start Download ");
  EXPECT_EQ(progress_.texts.back(),
            "Download " + std::to_string(bytes) + " byte, file from " + url + "  to " + file);

  progress_.texts.clear();
  const std::string bad = server_.Url("/status/404");
  EXPECT_EQ(fetcher_.FetchUrlToFile(bad, folder_ + "/e.xml", progress_), 0);
  EXPECT_EQ(progress_.texts.back(), "Internet Open URL Error! Неправильный URL! " + bad);
}

TEST_F(Fetch, FolderErrorsEndTheBatch) {
  EXPECT_NE(test::ErrorText([&] {
              fetcher_.DownloadFeedToFolder(server_.Url("/feed/a"), "", progress_);
            }).find("Download folder"),
            std::string::npos);
  EXPECT_NE(test::ErrorText([&] {
              fetcher_.DownloadFeedToFolder(server_.Url("/feed/a"), folder_ + "/no/such",
                                            progress_);
            }).find("no/such"),
            std::string::npos);
}

}  // namespace
}  // namespace vorlin
