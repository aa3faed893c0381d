// vorlin-cli ingest and demo, run as built.
#include <gtest/gtest.h>

#include "ingest_test_support.h"
#include "util/file_io.h"

namespace vorlin::testing {
namespace {

struct CliResult {
  int status = -1;
  std::vector<std::string> lines;  // stdout
  std::string err;
};

CliResult RunCli(const TempDir& dir, const std::string& args) {
  test::CliRun run = test::RunCli("--config-dir " + dir.Folder() + "cfg " + args);
  return {run.status, SplitLines(run.out), run.err};
}

class IngestCliTest : public ::testing::Test {
 protected:
  IngestCliTest() {
    std::filesystem::create_directories(dir_ / "cfg");
    WriteFile(dir_ / "feeds/a.xml", Feed("Канал", Item("one", "d1") + Item("two", "d2")));
  }
  TempDir dir_;
};

TEST_F(IngestCliTest, RunsWithTheSettingsOfTheConfigFolderAndPrintsTheLog) {
  WriteFile(dir_ / "cfg/OpsRss.txt",
            "EditNameFileAllRSS.Text=" + dir_ / "s.rss" + "\r\nCBoxPurgeEq.Checked=0\r\n");
  WriteFile(dir_ / "cfg/DirRss.txt", dir_ / "feeds" + "\r\n\r\n");
  CliResult r = RunCli(dir_, "ingest");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.lines.size(), 6u);
  EXPECT_EQ(r.lines[0].find("    Запуск однократно.(Start one-shot.) "), 0u) << r.lines[0];
  EXPECT_EQ(r.lines[4], "    Загрузка завершена.Загружено новых сообщений 2");
  EXPECT_TRUE(Exists(dir_ / "s.BCRC32"));
  EXPECT_TRUE(Exists(dir_ / "s.RMCRC32"));
  EXPECT_TRUE(Exists(dir_ / "feeds/a.xml"));

  // Options on the command line win over the settings; the index keeps the run unique.
  r = RunCli(dir_, "ingest --purge-dups --delete-processed --scan " + dir_ / "feeds");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.lines.size(), 9u);
  EXPECT_EQ(r.lines[2],
            "All scan files=1 All scan files size = 413 All test=0 Dubl- 0 "
            "Size dubl= 0");
  EXPECT_EQ(r.lines[7], "    Загрузка завершена.Загружено новых сообщений 0");
  EXPECT_FALSE(Exists(dir_ / "feeds/a.xml"));
}

TEST_F(IngestCliTest, WrongUsageAndAMissingStoreAreTold) {
  CliResult r = RunCli(dir_, "ingest --frobnicate");
  EXPECT_EQ(r.status, 2);
  r = RunCli(dir_, "ingest --scan " + dir_ / "feeds");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("EditNameFileAllRSS"), std::string::npos) << r.err;
  // No scan folder, or only one that is not there: nothing is created, not even the lock file.
  for (const std::string scan : {std::string(), " --scan " + dir_ / "missing"}) {
    r = RunCli(dir_, "ingest --store " + dir_ / "s.rss" + scan);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("(No scan folder"), std::string::npos) << r.err;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
  // A store in a folder that does not exist: the error names the folder.
  r = RunCli(dir_, "ingest --store " + dir_ / "no/such/s.rss" + " --scan " + dir_ / "feeds");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("(The store's folder " + dir_ / "no/such" + " does not exist"),
            std::string::npos)
      << r.err;
}

TEST_F(IngestCliTest, TheDemoIngestsTheSamplesButNeverTakesOverAFolderItDidNotMake) {
  CliResult r = RunCli(dir_, "demo --keep " + dir_ / "demo");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_GE(r.lines.size(), 3u);
  EXPECT_EQ(r.lines.back(), dir_ / "demo/demo.rss");
  EXPECT_EQ(r.lines[r.lines.size() - 2], "Всего сообщений 21, каналов 8");
  EXPECT_NE(std::find(r.lines.begin(), r.lines.end(),
                      " Ошибка при парсинге файла " + dir_ / "demo/feeds/broken_feed.xml"),
            r.lines.end());
  EXPECT_NE(r.lines[2].find("Dubl- 2"), std::string::npos) << r.lines[2];
  // A folder the demo made may be used again; any other is refused.
  EXPECT_EQ(RunCli(dir_, "demo --keep " + dir_ / "demo").status, 0);
  WriteFile(dir_ / "mine/feeds/precious.xml", "keep me");
  EXPECT_EQ(RunCli(dir_, "demo --keep " + dir_ / "mine").status, 1);
  EXPECT_EQ(ReadFile(dir_ / "mine/feeds/precious.xml"), "keep me");
}

TEST_F(IngestCliTest, NoCharacterIsLostOnTheWayFromAFeedToSearchAndDump) {
  WriteFile(dir_ / "feeds/a.xml",
            "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Ελλάδα</title>"
            "<entry><title>Café Müller 😀</title><link href=\"https://x/1\"/></entry>"
            "<entry><title>Literal &amp;#252; and &amp;#38;</title><link href=\"https://x/2\"/>"
            "</entry></feed>");
  const std::string store = " --store " + dir_ / "s.rss";
  CliResult r =
      RunCli(dir_, "ingest --keep-undated --no-purge-dups --scan " + dir_ / "feeds" + store);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines[r.lines.size() - 2], "    Загрузка завершена.Загружено новых сообщений 2");

  r = RunCli(dir_, "dump " + dir_ / "s.rss");
  ASSERT_EQ(r.lines.size(), 2u) << r.err;
  EXPECT_EQ(r.lines[0].find(R"({"n":0,"titleRss":"Ελλάδα","title":"Café Müller 😀",)"), 0u)
      << r.lines[0];
  EXPECT_NE(r.lines[1].find(R"("title":"Literal &#252; and &#38;")"), std::string::npos);
  const std::pair<const char*, const char*> searches[] = {{"Müller", "Найдено(Found) 1"},
                                                          {"Mäller", "Найдено(Found) 0"},
                                                          {"&#252;", "Найдено(Found) 1"},
                                                          {"müller_😀", "Найдено(Found) 1"}};
  for (const auto& [query, found] : searches) {
    r = RunCli(dir_, "search " + dir_ / "s.rss" + " --count --title '" + query + "'");
    EXPECT_EQ(r.lines, std::vector<std::string>{found}) << query << r.err;
  }
}

}  // namespace
}  // namespace vorlin::testing
