// vorlin-cli as scripts use it: output, exit status and error lines.
#include <gtest/gtest.h>

#include <tuple>

#include "store/store_format.h"
#include "test_support.h"
#include "util/version.h"

namespace vorlin {
namespace {

using test::CliRun;
using test::RunCli;

class CliStore : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string store;
    WriteItemBlock(store, {W("Мир"), W("Заголовок"), "http://a/1", "line\r\n\"q\" \\", "d1"}, true);
    WriteItemBlock(store, {"world", "T2", "http://a/2", "abc", "d2"}, true);
    WriteItemBlock(store, {W("мир"), "T3", "http://a/3", "abc", "d3"}, true);
    test::WriteBytes(store_, store);
  }
  test::TempDir dir_;
  std::string store_ = dir_ / "news.rss";
};

TEST_F(CliStore, CensusDumpAndRebuildIndexPrintWhatScriptsRead) {
  CliRun r = RunCli("census " + store_);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "world\nМир\nВсего сообщений 3, каналов 2\n");
  EXPECT_EQ(r.err, "");  // no progress when stderr is not a terminal

  r = RunCli("dump " + store_);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"n\":0,\"titleRss\":\"Мир\",\"title\":\"Заголовок\",\"link\":\"http://a/1\","
            "\"description\":\"line\\n\\\"q\\\" \\\\\",\"pubDate\":\"d1\"}\n"
            "{\"n\":1,\"titleRss\":\"world\",\"title\":\"T2\",\"link\":\"http://a/2\","
            "\"description\":\"abc\",\"pubDate\":\"d2\"}\n"
            "{\"n\":2,\"titleRss\":\"мир\",\"title\":\"T3\",\"link\":\"http://a/3\","
            "\"description\":\"abc\",\"pubDate\":\"d3\"}\n");

  r = RunCli("rebuild-index " + store_);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2\n");  // two distinct descriptions
  EXPECT_TRUE(std::filesystem::exists(dir_ / "news.BCRC32"));
}

TEST_F(CliStore, BrokenOrMissingStoreFailsWithOneLineNamingTheFile) {
  test::WriteBytes(dir_ / "bad.rss", "<item><title>");
  // Russian first, the core's English in parentheses, on one line.
  for (const auto& [command, named, russian] :
       {std::tuple{"census " + dir_ / "none.rss", "none.rss", "Не удаётся открыть хранилище "},
        std::tuple{"dump " + dir_ / "bad.rss", "bad.rss: line 1", "Хранилище повреждено"}}) {
    const CliRun r = RunCli(command);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(russian), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(Cli, KeysDatesAndUsage) {
  EXPECT_EQ(RunCli("keys abc T").out,
            "message-key 00891568578000000000003\nread-key 02941181753000000000004\n");
  // Russian arguments are converted to Windows-1251 before the checksum: 2 bytes, not 4.
  EXPECT_EQ(RunCli("keys 'яя'").out.substr(23), "000000000002\n");
  setenv("TZ", "Europe/Moscow", 1);  // for the child: the date is shown in local time
  EXPECT_EQ(RunCli("date 'Thu, 1 Jan 2009 06:34:56 GMT'").out, "true 2009:01:0109:34:56\n");
  unsetenv("TZ");
  EXPECT_EQ(RunCli("date 'not a date'").out, "false \n");
  EXPECT_EQ(RunCli("frobnicate").status, 2);
  CliRun wrong = RunCli("census");
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find("usage: vorlin-cli"), std::string::npos);
  CliRun help = RunCli("--config-dir /tmp census --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("census STORE"), std::string::npos);
  EXPECT_NE(RunCli("--help").out.find("rebuild-index STORE"), std::string::npos);
  CliRun version = RunCli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.substr(0, version.out.find('\n')),
            "vorlin-cli (Vorlin) " + std::string(VersionNumber()));
  EXPECT_EQ(RunCli("--lock-wait soon census x").status, 2);
}

}  // namespace
}  // namespace vorlin
