#include "util/file_io.h"

#include <gtest/gtest.h>

#include "test_support.h"
#include "util/settings_file.h"

namespace vorlin {
namespace {

using test::TempDir;

TEST(SplitLines, AcceptsEveryLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\n\r"), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(WriteFileAtomic, ReplacesTheFileOrFailsNamingItAndLeavesNoTemporaryFiles) {
  TempDir dir;
  const std::string name = dir.Name("файл.txt");
  WriteFileAtomic(name, "old");
  WriteFileAtomic(name, "new contents");
  EXPECT_EQ(ReadWholeFile(name), "new contents");
  // A folder where the file should be: the rename cannot replace it, even for root.
  std::filesystem::create_directory(dir.path() / "index.BCRC32");
  EXPECT_NE(test::ErrorText([&] {
              WriteFileAtomic(dir.Name("index.BCRC32"), "data");
            }).find("index.BCRC32"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "index.BCRC32"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  EXPECT_THROW(WriteFileAtomic(dir.Name("missing/x.txt"), "data"), Error);
}

TEST(ReadWholeFile, MissingFileAndFolderAreErrorsNamingThePath) {
  TempDir dir;
  const std::string what = test::ErrorText([&] { ReadWholeFile(dir.Name("nope.rss")); });
  EXPECT_NE(what.find("nope.rss: No such file"), std::string::npos) << what;
  EXPECT_THROW(ReadWholeFile(Utf8ToCp1251(dir.path().string())), Error);
}

TEST(SettingsFile, LooksUpTheFirstMatchingKeyIgnoringCase) {
  TempDir dir;
  test::WriteBytes(dir.path() / "OpsRss.txt",
                   "EditTimeScan.Text=30\r\nedittimescan.text=99\nFlag.Checked=-2\r"
                   "Empty.Text=\r\nNoEquals\r\nEq.Text=a=b\r\nBad.Value=12x\r\n");
  SettingsFile s = SettingsFile::Load(dir.Name("OpsRss.txt"));
  EXPECT_EQ(s.Get("EDITTIMESCAN.TEXT"), "30");
  EXPECT_EQ(s.GetInt("EditTimeScan.Text"), 30);
  EXPECT_EQ(s.GetFlag("Flag.Checked"), true);
  EXPECT_EQ(s.Get("Empty.Text"), "");
  EXPECT_EQ(s.GetInt("Empty.Text"), std::nullopt);
  EXPECT_EQ(s.Get("Eq.Text"), "a=b");
  EXPECT_EQ(s.GetInt("Bad.Value"), std::nullopt);
  EXPECT_EQ(s.Get("Missing.Text"), std::nullopt);
  EXPECT_TRUE(SettingsFile::Load(dir.Name("none.txt")).Entries().empty());
}

TEST(SettingsFile, SavesLinesInOrderWithCrLf) {
  TempDir dir;
  SettingsFile s;
  s.Set("B.Text", "2");
  s.Set("A.Text", W("текст"));
  s.Save(dir.Name("out.txt"));
  EXPECT_EQ(test::ReadBytes(dir.path() / "out.txt"), "B.Text=2\r\nA.Text=" + W("текст") + "\r\n");
}

TEST(ParseInteger, AcceptsOnlyWholeDecimalNumbers) {
  EXPECT_EQ(ParseInteger("-15"), -15);
  for (const char* bad : {"", "-", " 5", "99999999999999999999"}) {
    EXPECT_EQ(ParseInteger(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace vorlin
