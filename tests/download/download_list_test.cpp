// The download list file, the float window's entries, the due test and the batches' rules.
#include "download/download_list.h"

#include <gtest/gtest.h>

#include <clocale>

#include "download/download_batch.h"
#include "download/download_list_check.h"
#include "download/download_list_merge.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

DownloadGrid Grid(std::vector<DownloadRow> data) {
  DownloadGrid grid;
  SetDownloadGridHeaders(grid);
  for (auto& row : data) grid.rows.push_back(std::move(row));
  return grid;
}

TEST(DownloadListFile, CleansCellsOnSaveAndReadsThemBackTheSame) {
  DownloadGrid grid = Grid({{" http://a/x;y ", "", "1", "\t2", "3\r\n", "two\r\nlines;c"}});
  const std::string text = FormatListFile(grid);
  EXPECT_EQ(text, W("URL-Адрес;Date of the last Downloading;Days;Hours;Min;Commentary;\r\n") +
                      "http://a/x y;;1;2;3;two  lines c;\r\n");
  // The grid keeps the cleaned text with its ";".
  EXPECT_EQ(grid.rows[1][kColUrl], "http://a/x;y");
  EXPECT_EQ(grid.rows[1][kColComment], "two  lines;c");

  std::vector<DownloadRow> back = ParseListFile(text);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0], DownloadHeaders());
  EXPECT_EQ(back[1], (DownloadRow{"http://a/x y", "", "1", "2", "3", "two  lines c"}));
  DownloadGrid again{back};
  EXPECT_EQ(FormatListFile(again), text);
}

TEST(DownloadListFile, EveryLineGivesSixCellsAndAHeaderlessFirstLineIsARow) {
  bool headerless = true;
  const std::vector<DownloadRow> rows =
      ParseListFile("h;\r\n a ;b;c;d;e;f\nshort;x\r\r\n;;;;;;\r\n1;2;3;4;5;6;7;8;\n", &headerless);
  EXPECT_FALSE(headerless);
  ASSERT_EQ(rows.size(), 4u);  // the empty line and the empty row are no rows
  EXPECT_EQ(rows[1], (DownloadRow{"a", "b", "c", "d", "e", "f"}));  // no trailing ";"
  EXPECT_EQ(rows[2], (DownloadRow{"short", "x", "", "", "", ""}));
  EXPECT_EQ(rows[3], (DownloadRow{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(ParseListFile("h;\r\n").size(), 1u);

  // A hand-written list without the header keeps its first feed.
  const auto bare =
      ParseListFile("HTTPS://a.example/rss;;1;;;first\r\nhttp://b/;\r\n", &headerless);
  EXPECT_TRUE(headerless);
  ASSERT_EQ(bare.size(), 3u);
  EXPECT_EQ(bare[0], DownloadHeaders());
  EXPECT_EQ(bare[1][kColComment], "first");
  EXPECT_TRUE(LooksLikeUrl("ftp://x"));
  for (const char* header : {"URL;", "://x", "1http://x", "a b://x"}) {
    EXPECT_FALSE(LooksLikeUrl(header)) << header;
  }
}

TEST(DownloadListFile, RefusesFilesThatAreNoList) {
  EXPECT_NO_THROW(RequireListText("http://a/\n", "l.RssUrl"));
  for (const std::string& bad : {std::string("<?xml version=\"1.0\"?><opml/>"),
                                 std::string("a;b\0c", 5), std::string("just words\r\n")}) {
    EXPECT_NE(test::ErrorText([&] {
                RequireListText(bad, "x.RssUrl");
              }).find("(The file x.RssUrl is not a list"),
              std::string::npos)
        << bad;
  }
}

TEST(DownloadList, DeleteRemovesAnyDataRow) {
  DownloadGrid grid = Grid({{"a"}, {"b"}});
  EXPECT_FALSE(DeleteGridRow(grid, 0));
  EXPECT_FALSE(DeleteGridRow(grid, 3));
  EXPECT_TRUE(DeleteGridRow(grid, 1));
  EXPECT_EQ(grid.rows[1][kColUrl], "b");
  EXPECT_TRUE(DeleteGridRow(grid, 1));
  EXPECT_EQ(grid.RowCount(), 1);
}

TEST(DownloadList, RowsAreCheckedNamingTheFieldByItsCaption) {
  struct Case {
    DownloadRow row;
    const char* problem;  // empty: accepted
  };
  const Case cases[] = {
      {{"HTTPS://a.example/rss", "", "", "", ""}, ""},
      {{"ftp://a/x", "", "30", "23", "59"}, ""},
      {{"ftps://a", "", "0", "0", "0"}, ""},
      {{"file:///etc/passwd"}, "Поле «Адрес (URL)»: «file:///etc/passwd» — не адрес http"},
      {{"a.example/rss"}, "(The field \"Адрес (URL)\""},
      {{"http:///x"}, "Адрес (URL)"},
      {{"http://a", "", "31"}, "Поле «Дни (days)»: «31» — не целое число от 0 до 30"},
      {{"http://a", "", "-1"}, "Дни (days)"},
      {{"http://a", "", "", "24"},
       "(The field \"Часы (hours)\": \"24\" is not a whole number from 0 to 23)"},
      {{"http://a", "", "", "", "1.5"}, "Минуты(Min)"},
      {{"http://a", "", "", "", "+5"}, "Минуты(Min)"},
  };
  for (const Case& c : cases) {
    const std::string problem = DownloadRowProblem(c.row);
    if (*c.problem == 0) {
      EXPECT_EQ(problem, "") << c.row[0];
    } else {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
  }
}

TEST(DownloadList, MergeKeepsBothSidesChanges) {
  auto rows = [](std::vector<std::array<const char*, 3>> cells) {
    std::vector<DownloadRow> out{DownloadHeaders()};
    for (const auto& [url, stamp, comment] : cells)
      out.push_back({url, stamp, "1", "", "", comment});
    return out;
  };
  const auto base = rows({{"a", "s0", "A"}, {"b", "s0", "B"}, {"c", "s0", "C"}, {"d", "s0", "D"}});
  // Here: a's comment edited, c deleted, e added. There: a and b stamped, d deleted, f added.
  const auto mine = rows({{"a", "s0", "A2"}, {"b", "s0", "B"}, {"d", "s0", "D"}, {"e", "", "E"}});
  const auto theirs = rows({{"a", "s1", "A"}, {"b", "s1", "B"}, {"c", "s1", "C"}, {"f", "", "F"}});
  EXPECT_EQ(MergeListRows(base, mine, theirs),
            rows({{"a", "s1", "A2"}, {"b", "s1", "B"}, {"e", "", "E"}, {"f", "", "F"}}));
}

TEST(DownloadList, SaveMergesWithWhatAnotherProcessWrote) {
  test::TempDir dir;
  const std::string list = dir / "DLFiles.txt";
  DownloadGrid grid = Grid({{"a", "", "1"}, {"b", "", "1"}});
  std::vector<DownloadRow> base = grid.rows;
  SaveGridMerged(list, grid, base);  // written as it stands
  DownloadGrid other = grid;
  other.rows[2][kColStamp] = "stamped there";
  SaveGridToFile(list, other);
  grid.rows[1][kColComment] = "here";
  SaveGridMerged(list, grid, base);
  DownloadGrid saved;
  LoadGridFromFile(list, saved);
  EXPECT_EQ(saved.rows[1], (DownloadRow{"a", "", "1", "", "", "here"}));
  EXPECT_EQ(saved.rows[2][kColStamp], "stamped there");
  EXPECT_EQ(base, saved.rows);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "DLFiles.lock"));
  // A failed read leaves the grid as it was.
  EXPECT_NE(test::ErrorText([&] { LoadGridFromFile(dir / "missing.RssUrl", saved); }), "no error");
  EXPECT_EQ(base, saved.rows);
}

class Schedule : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_TIME, "C"); }
  std::time_t T0() const { return *ParseStamp("12/07/26 00:30:00"); }
};

TEST_F(Schedule, StampsUseTheLocaleAndReadBack) {
  EXPECT_EQ(FormatStamp(T0()), "12/07/26 00:30:00");
  EXPECT_EQ(ParseStamp(" 12/07/26 00:30:00 "), T0());
  for (const char* bad :
       {"", "12/07/26", "12/07/26 25:00:00", "yesterday noon", "12/07/26 1:2:3x"}) {
    EXPECT_FALSE(ParseStamp(bad)) << bad;
  }
}

TEST_F(Schedule, DueTimeAddsTheFrequencyOrNamesTheBadCell) {
  struct Case {
    DownloadRow row;
    long long seconds;  // after the stamp; -1: refused
    const char* error;
  };
  const std::string stamp = "12/07/26 00:30:00";
  const Case cases[] = {
      {{"u", stamp, "0", "0", "0"}, 0, ""},
      {{"u", stamp, "", "", ""}, 0, ""},
      {{"u", stamp, "2", "0", "0"}, 2 * 86400, ""},
      {{"u", stamp, "30", "23", "59"}, 30 * 86400 + 23 * 3600 + 59 * 60, ""},
      {{"u", stamp, "-3", "1", "0"}, 3600, ""},
      {{"u", stamp, "0", "48", "0"}, -1, "row 1, column \"Hours\": \"48\" is out of range"},
      {{"u", stamp, "31", "0", "0"}, -1, "column \"Days\""},
      {{"u", stamp, "0", "-1", "0"}, -1, "column \"Hours\""},
      {{"u", stamp, "0", "0", "x"}, -1, "column \"Min\": \"x\" is not a whole number"},
      {{"u", "5 o'clock", "0", "0", "1"}, -1, "column \"Date of the last Downloading\""},
  };
  for (const Case& c : cases) {
    DownloadGrid grid = Grid({c.row});
    if (c.seconds >= 0) {
      EXPECT_EQ(DueTime(grid, 1) - T0(), c.seconds) << c.row[2] << "/" << c.row[3];
    } else {
      EXPECT_NE(test::ErrorText([&] { DueTime(grid, 1); }).find(c.error), std::string::npos)
          << test::ErrorText([&] { DueTime(grid, 1); });
    }
  }
}

TEST_F(Schedule, CheckFindsNewAndDueRowsAndGivesBareRowsOneMinute) {
  DownloadGrid grid = Grid({{"a", "12/07/26 00:30:00", "", "", ""}});
  EXPECT_FALSE(DownloadCheckNeeded(grid, T0() + 59));
  EXPECT_EQ(grid.rows[1], (DownloadRow{"a", "12/07/26 00:30:00", "0", "0", "1", ""}));
  EXPECT_TRUE(DownloadCheckNeeded(grid, T0() + 60));
  grid.rows.push_back({"b"});
  grid.rows[1][kColDays] = "0";
  grid.rows[1][kColHours] = "1";
  EXPECT_TRUE(DownloadCheckNeeded(grid, T0() + 60));  // b has no stamp
}

TEST_F(Schedule, ManualBatchStampsSuccessesAndStopsAfterTheCurrentRow) {
  DownloadGrid grid = Grid({{"a", "old"}, {"b", "old"}, {"c", "old"}});
  bool stop = true;
  DownloadBatch batch(
      DownloadBatch::Kind::kManual, grid, [this] { return T0(); }, &stop);
  EXPECT_FALSE(stop);  // cleared at the start
  ASSERT_EQ(batch.Next()->url, "a");
  EXPECT_EQ(batch.Complete(1, DownloadOutcome::kOk),
            W(" Файл загружен (File Download Ok.)a 12/07/26 00:30:00"));
  ASSERT_EQ(batch.Next()->url, "b");
  EXPECT_EQ(batch.Complete(2, DownloadOutcome::kFailed),
            W(" Ошибка загрузки  (Not Download ...)b 12/07/26 00:30:00"));
  stop = true;
  EXPECT_FALSE(batch.Next());
  EXPECT_EQ(grid.rows[1][kColStamp], "12/07/26 00:30:00");
  EXPECT_EQ(grid.rows[2][kColStamp], "");
  EXPECT_EQ(grid.rows[3][kColStamp], "old");
}

TEST_F(Schedule, TimedBatchFetchesDueRowsAndStampsEveryAttempt) {
  DownloadGrid grid = Grid({{"new-hourly", "", "", "1", ""},
                            {"new-always", "", "", "", ""},
                            {"old-daily", "12/06/26 00:00:00", "1", "", ""},
                            {"fresh", "12/07/26 00:29:00", "0", "0", "5"}});
  DownloadBatch batch(
      DownloadBatch::Kind::kTimed, grid, [this] { return T0(); }, nullptr);
  EXPECT_EQ(grid.rows[1], (DownloadRow{"new-hourly", "12/07/26 00:30:00", "0", "1", "0", ""}));
  std::vector<std::string> fetched;
  while (auto job = batch.Next()) {
    fetched.push_back(job->url);
    batch.Complete(job->row, DownloadOutcome::kFailed);
  }
  EXPECT_EQ(fetched, (std::vector<std::string>{"new-always", "old-daily"}));
  EXPECT_EQ(grid.rows[3][kColStamp], "12/07/26 00:30:00");  // a failure is stamped too
  EXPECT_EQ(grid.rows[4][kColStamp], "12/07/26 00:29:00");

  grid.rows[4][kColHours] = "24";
  DownloadBatch bad(
      DownloadBatch::Kind::kTimed, grid, [this] { return T0(); }, nullptr);
  EXPECT_TRUE(bad.Next());  // new-always is due at once
  EXPECT_NE(test::ErrorText([&] {
              while (bad.Next()) {
              }
            }).find("row 4"),
            std::string::npos);
}

}  // namespace
}  // namespace vorlin
