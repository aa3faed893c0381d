// vorlin-cli download, run as built against the test's feed server.
#include <gtest/gtest.h>

#include <filesystem>

#include "feed_server.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

class DownloadCli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Up());
    ::setenv("LC_ALL", "C", 1);
    test::WriteBytes(dir_.path() / "down" / ".keep", "");
  }
  test::CliRun Run(const std::string& args) {
    return test::RunCli("--config-dir " + dir_.Folder() + " download " + dir_ / "list.RssUrl" +
                        " --folder " + dir_ / "down" + " " + args);
  }
  void WriteList(const std::string& rows) {
    test::WriteBytes(dir_.path() / "list.RssUrl", W("URL-Адрес;") + "\r\n" + rows);
  }
  std::string List() const { return Cp1251ToUtf8(test::ReadBytes(dir_.path() / "list.RssUrl")); }
  std::vector<std::string> Files(const char* extension = "") const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path() / "down")) {
      if (*extension == 0 || e.path().extension() == extension) names.push_back(e.path().string());
    }
    return names;
  }

  test::FeedServer server_;
  test::TempDir dir_;
};

TEST_F(DownloadCli, DueFetchesOnlyTheDueRowsAndBadCellsFail) {
  WriteList(server_.Url("/feed/due") + ";12/07/26 00:00:00;0;0;30;\r\n" +
            server_.Url("/feed/later") + ";12/07/26 00:00:00;0;1;0;\r\n");
  test::CliRun run = Run("--due --now '12/07/26 00:30:00'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, " Файл загружен (File Download Ok.)" + server_.Url("/feed/due") +
                         " 12/07/26 00:30:00\n");
  EXPECT_NE(List().find("/feed/later;12/07/26 00:00:00;0;1;0;"), std::string::npos);

  WriteList(server_.Url("/feed/x") + ";12/07/26 00:00:00;0;48;0;\r\n");
  run = Run("--due");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("row 1, column \"Hours\""), std::string::npos) << run.err;

  EXPECT_EQ(Run("--due --all").status, 2);
  EXPECT_EQ(Run("--due --now tomorrow").status, 2);
  EXPECT_EQ(test::RunCli("download " + dir_ / "list.RssUrl" + " --folder ' ' --all").status, 1);
}

TEST_F(DownloadCli, AllLogsInListOrderRewritesTheStampsAndSkipsUnchangedFeeds) {
  WriteList(server_.Url("/delay/300/x") + ";old;1;;;a\r\n" + server_.Url("/etag/a") + ";;;;;\r\n" +
            server_.Url("/status/404") + ";old;;;;b\r\n");
  const std::string now = " --now '12/07/26 00:30:00'";
  test::CliRun run = Run("--all --parallel 3" + now);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string ok = " Файл загружен (File Download Ok.)", at = " 12/07/26 00:30:00";
  EXPECT_EQ(run.out, ok + server_.Url("/delay/300/x") + at + "\n" + ok + server_.Url("/etag/a") +
                         at + "\n Ошибка загрузки  (Not Download ...)" +
                         server_.Url("/status/404") + at + "\n");
  EXPECT_EQ(List(), "URL-Адрес;Date of the last Downloading;Days;Hours;Min;Commentary;\r\n" +
                        server_.Url("/delay/300/x") + ";" + at.substr(1) + ";1;;;a;\r\n" +
                        server_.Url("/etag/a") + ";" + at.substr(1) + ";;;;;\r\n" +
                        server_.Url("/status/404") + ";;;;;b;\r\n");
  EXPECT_EQ(test::ReadBytes(dir_.path() / "list.RssUrl.validators"),
            server_.Url("/etag/a") + "\t\"v-a\"\tMon, 07 Dec 2026 00:00:00 GMT\r\n");
  run = Run("--all" + now);
  EXPECT_NE(run.out.find(" Файл не изменился (not modified) " + server_.Url("/etag/a")),
            std::string::npos)
      << run.out;
  EXPECT_EQ(Files(".xml").size(), 3u);
  EXPECT_EQ(Run("--all --parallel 17").status, 2);
}

TEST_F(DownloadCli, SigtermAbortsTheTransferAndKeepsTheRowsDone) {
  WriteList(server_.Url("/feed/a") + ";;;;;\r\n" + server_.Url("/trickle") + ";old;;;;\r\n");
  const std::string down = dir_ / "down";
  // The command in the background; once its slow feed has a file, SIGTERM, and the time it
  // takes to end (bounded polling, no fixed sleep).
  const std::string script =
      std::string(VORLIN_CLI) + " download " + dir_ / "list.RssUrl" + " --folder " + down +
      " --all --parallel 1 >" + dir_ / "out" + " 2>" + dir_ / "err" +
      " & p=$!; for i in $(seq 200); do ls " + down +
      " | grep -q tmp && break; sleep 0.05; done; s=$(date +%s%N); kill -TERM $p; wait $p; "
      "echo $? $(( ($(date +%s%N) - s) / 1000000 )) >" +
      dir_ / "result";
  ASSERT_EQ(std::system(("bash -c '" + script + "'").c_str()), 0);
  int status = -1;
  long ms = -1;
  std::sscanf(test::ReadBytes(dir_.path() / "result").c_str(), "%d %ld", &status, &ms);
  EXPECT_EQ(status, 1);
  EXPECT_LT(ms, 5000);
  EXPECT_NE(test::ReadBytes(dir_.path() / "err").find("Interrupted"), std::string::npos);
  EXPECT_EQ(Files().size(), 2u);  // .keep and the first feed; no partial file
  EXPECT_EQ(List().find("/feed/a;;"), std::string::npos);  // stamped
  EXPECT_NE(List().find("/trickle;old;"), std::string::npos);
}

}  // namespace
}  // namespace vorlin
