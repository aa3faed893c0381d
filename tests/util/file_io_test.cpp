#include "util/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(WriteFileAtomic, ReplacesTheFileOrFailsNamingItAndLeavesNoTemporaryFilesAsReadsFail) {
  TempDir dir;
  const std::string name = dir.Name("файл.txt");
  WriteFileAtomic(name, "old");
  WriteFileAtomic(name, "new contents");
  EXPECT_EQ(ReadWholeFile(name), "new contents");
  // A folder or a FIFO where the file should be is refused and left as it is, even for root.
  std::filesystem::create_directory(dir.path() / "index.BCRC32");
  ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0644), 0);
  for (const char* other : {"index.BCRC32", "fifo"}) {
    EXPECT_NE(test::ErrorText([&] { WriteFileAtomic(dir.Name(other), "data"); }).find(other),
              std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "index.BCRC32"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "fifo"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
  EXPECT_THROW(WriteFileAtomic(dir.Name("missing/x.txt"), "data"), Error);
  // Reading a missing file or a folder fails too, naming the path.
  const std::string what = test::ErrorText([&] { ReadWholeFile(dir.Name("nope.rss")); });
  EXPECT_NE(what.find("nope.rss: No such file"), std::string::npos) << what;
  EXPECT_THROW(ReadWholeFile(dir.Name("index.BCRC32")), Error);
}

TEST(WriteFileAtomic, KeepsTheModeWritesThroughLinksAndGivesNewFilesTheUmask) {
  namespace fs = std::filesystem;
  TempDir dir;
  auto mode = [](const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
  };
  const fs::path list = dir.path() / "private.RssUrl";
  test::WriteBytes(list, "old");
  fs::permissions(list, fs::perms::owner_read | fs::perms::owner_write);
  WriteFileAtomic(dir.Name("private.RssUrl"), "user:pass@host");
  EXPECT_EQ(mode(list), 0600u);

  // A chain of two links, the second relative: the file at its end is replaced.
  fs::create_directory(dir.path() / "real");
  test::WriteBytes(dir.path() / "real/DLFiles.txt", "old");
  ::chmod((dir.path() / "real/DLFiles.txt").c_str(), 0640);
  fs::create_symlink("real/DLFiles.txt", dir.path() / "link1");
  fs::create_symlink(dir.path() / "link1", dir.path() / "DLFiles.txt");
  WriteFileAtomic(dir.Name("DLFiles.txt"), "new");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "DLFiles.txt"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link1"));
  EXPECT_EQ(test::ReadBytes(dir.path() / "real/DLFiles.txt"), "new");
  EXPECT_EQ(mode(dir.path() / "real/DLFiles.txt"), 0640u);
  // A dangling link makes the file it names.
  fs::create_symlink("real/made.txt", dir.path() / "dangling");
  WriteFileAtomic(dir.Name("dangling"), "made");
  EXPECT_EQ(test::ReadBytes(dir.path() / "real/made.txt"), "made");

  const mode_t old = ::umask(027);
  WriteFileAtomic(dir.Name("new.txt"), "x");
  ::umask(old);
  EXPECT_EQ(mode(dir.path() / "new.txt"), 0640u);
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
