#include <gtest/gtest.h>

#include "reader/channel_lists.h"
#include "store/crc32.h"
#include "store/key_index.h"
#include "store/store_format.h"
#include "test_support.h"

namespace vorlin {
namespace {

class SearchCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string store;
    const char* rows[][4] = {
        {"Погода", "Дождь", "газ и нефть", "Tue, 10 Mar 2026 10:00:00 "},
        {"Sport", "Матч", "нефть", "Mon, 09 Mar 2026 23:58:00 "},
        {"Sport", "Гол", "уголь", "Sun, 08 Mar 2026 08:00:00 "},
    };
    for (auto& r : rows) {
      WriteItemBlock(store, {W(r[0]), W(r[1]), "http://x/", W(r[2]), r[3]}, true);
    }
    test::WriteBytes(dir_.path() / "s.rss", store);
  }
  test::CliRun Run(const std::string& options) {
    return test::RunCli("search " + dir_ / "s.rss" + " " + options);
  }
  test::TempDir dir_;
};

TEST_F(SearchCli, PrintsListLinesAndStatusAsTheWindowWould) {
  EXPECT_EQ(Run("").out, "Дождь\nМатч\nГол\nНайдено(Found) 3\n");
  EXPECT_EQ(Run("--sort --prefix 3").out,
            "Spo... Гол\nSpo... Матч\nПог... Дождь\nНайдено(Found) 3\n");
  EXPECT_EQ(Run("--description 'нефть газ'").out, "Дождь\nНайдено(Found) 1\n");
  EXPECT_EQ(Run("--description /уголь --count").out, "Найдено(Found) 1\n");
  EXPECT_EQ(Run("--channel sport --range 2 --today 2026-03-10 --count").out, "Найдено(Found) 1\n");
  EXPECT_EQ(Run("--from 2026-03-08 --to 2026-03-08 --count").out, "Найдено(Found) 1\n");
  auto json = Run("--title гол --json");
  EXPECT_EQ(json.out.rfind("{\"n\":2,\"titleRss\":\"Sport\",\"title\":\"Гол\"", 0), 0u) << json.out;

  WriteGroupFile(dir_ / "g.myRSS", {W("погода")});
  EXPECT_EQ(Run("--group " + dir_ / "g.myRSS").out, "Дождь\nНайдено(Found) 1\n");
  KeyIndex read;
  read.Add(ReadKey(W("Дождь"), W("газ и нефть")));
  read.Save(dir_ / "s.RMCRC32");
  EXPECT_EQ(Run("--unread").out, "Матч\nГол\nНайдено(Found) 2\n");
}

TEST_F(SearchCli, RejectsBadOptions) {
  for (const char* bad : {"--range 8", "--from 2026-02-30", "--prefix 0", "--bogus", "--title"}) {
    auto run = Run(bad);
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_NE(run.err.find("usage:"), std::string::npos) << bad;
  }
  EXPECT_EQ(test::RunCli("search " + dir_ / "missing.rss").status, 1);
}

}  // namespace
}  // namespace vorlin
