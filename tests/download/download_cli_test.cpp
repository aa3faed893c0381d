// vorlin-cli download, run as built against the test's feed server.
#include <gtest/gtest.h>

#include "feed_server.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

class DownloadCli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Up());
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

  test::FeedServer server_;
  test::TempDir dir_;
};

TEST_F(DownloadCli, AllFetchesEveryRowAndRewritesTheStamps) {
  ::setenv("LC_ALL", "C", 1);
  WriteList(server_.Url("/feed/a") + ";old;1;;;a\r\n" + server_.Url("/status/404") +
            ";old;;;;b\r\n");
  const test::CliRun run = Run("--all --now '12/07/26 00:30:00'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, " Файл загружен (File Download Ok.)" + server_.Url("/feed/a") +
                         " 12/07/26 00:30:00\n Ошибка загрузки  (Not Download ...)" +
                         server_.Url("/status/404") + " 12/07/26 00:30:00\n");
  EXPECT_EQ(List(), "URL-Адрес;Date of the last Downloading;Days;Hours;Min;Commentary;\r\n" +
                        server_.Url("/feed/a") + ";12/07/26 00:30:00;1;;;a;\r\n" +
                        server_.Url("/status/404") + ";;;;;b;\r\n");
}

TEST_F(DownloadCli, DueFetchesOnlyTheDueRowsAndBadCellsFail) {
  ::setenv("LC_ALL", "C", 1);
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

}  // namespace
}  // namespace vorlin
