// The folder scan and the removal of duplicate files.
#include "ingest/duplicate_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ingest/folder_scan.h"
#include "ingest_test_support.h"

namespace vorlin::testing {
namespace {

TEST(DuplicateFilesTest, KeepsTheCopyWhosePathSortsFirstIgnoringCaseAndEqualSizesAloneCountNot) {
  // By bytes "B" sorts before "a"; ignoring case "a" comes first.
  TempDir dir;
  const std::string content(1500, 'x');
  for (const char* name : {"B.xml", "a.xml", "c.xml"}) WriteFile(dir / name, content);
  WriteFile(dir / "g.xml", std::string(1500, 'y'));  // the same size, other content
  WriteFile(dir / "lone.xml", "unique size!");
  RecordingProgress progress;
  std::vector<std::string> log;
  DuplicateSummary s = DeleteDuplicateFiles({dir.Folder()}, true, progress,
                                            [&](const std::string& l) { log.push_back(l); });
  EXPECT_TRUE(Exists(dir / "a.xml") && Exists(dir / "g.xml") && Exists(dir / "lone.xml"));
  EXPECT_FALSE(Exists(dir / "B.xml") || Exists(dir / "c.xml"));
  const std::string summary =
      "All scan files=5 All scan files size =6 012 All test=4 Dubl- 2 Size dubl= 3 000";
  EXPECT_EQ(log, std::vector<std::string>{summary});
  EXPECT_EQ(progress.texts.back(), summary);
  EXPECT_EQ(s.duplicates, 2u);
  // The scan texts use the folder as given, with its added "/".
  const std::string folder = dir.Folder() + "/";
  EXPECT_EQ(progress.texts[0], "Scan =1  " + folder + "a.xml");
  EXPECT_EQ(progress.texts[5], "All=3 Tek- 0Test " + folder + "a.xml");
  EXPECT_EQ(progress.texts[7], "All=3 Tek- 2Test " + folder + "c.xml");
}

TEST(DuplicateFilesTest, FilesOfTwoGigabytesAndMoreAreCountedIn64Bits) {
  TempDir dir;
  const std::string big = dir / "big.xml";
  int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 3LL << 30), 0);  // sparse: no disk space used
  ::close(fd);
  WriteFile(dir / "small.xml", "12345");
  NullProgress progress;
  DuplicateSummary s = DeleteDuplicateFiles({dir.Folder()}, false, progress, nullptr);
  EXPECT_EQ(s.totalSize, (3ULL << 30) + 5);
  EXPECT_EQ(s.text,
            "All scan files=2 All scan files size =3 221 225 477 All test=0 Dubl- 0 "
            "Size dubl= 0");
}

TEST(FolderScanTest, TakesXmlFilesOfSubfoldersDepthFirstButNoHiddenOnes) {
  TempDir dir;
  for (const char* name : {"a.xml", "B.XML", "c.txt", ".hidden.xml", "sub/d.xml",
                           "sub/deeper/e.xml", "sub2/f.xml", ".cache/g.xml", "sub/.dot/h.xml"}) {
    WriteFile(dir / name, "x");
  }
  std::filesystem::create_directory_symlink(dir / "sub", dir / "link");
  RecordingProgress progress;
  ScanLists lists = ScanAllFolders({dir.Folder()}, true, progress);
  const std::string f = dir.Folder() + "/";
  EXPECT_EQ(lists.paths,
            (std::vector<std::filesystem::path>{f + "a.xml", f + "B.XML", f + "sub/d.xml",
                                                f + "sub/deeper/e.xml", f + "sub2/f.xml"}));
  EXPECT_EQ(ScanAllFolders({dir.Folder()}, false, progress).paths.size(), 2u);
  EXPECT_NE(std::find(progress.texts.begin(), progress.texts.end(), "dir " + f + "sub/"),
            progress.texts.end());
}

TEST(FolderScanTest, BlankLinesAndMissingFoldersGiveNoFilesNorAPickerStart) {
  EXPECT_EQ(ScanFolderOfLine("  /data/feeds/ "), "/data/feeds//");
  NullProgress progress;
  EXPECT_TRUE(ScanAllFolders({"", "  ", "/no/such/folder"}, true, progress).paths.empty());
  EXPECT_EQ(FolderPickerStart({"/tmp", "/no/such/folder"}), "");
}

TEST(DuplicateFilesTest, NeverDeletesTheOnlyCopyOfAFileNorTheStore) {
  TempDir dir;
  WriteFile(dir / "scan/b.xml", "only copy");
  std::filesystem::create_symlink("b.xml", dir / "scan/a.xml");  // sorts first, reaches b.xml
  WriteFile(dir / "scan/c.xml", "same bytes");
  WriteFile(dir / "scan/d.xml", "same bytes");  // the store, named like a feed
  NullProgress progress;
  // The folder also spelled a second way: "scan/" and "scan//" give other path strings.
  DuplicateSummary s = DeleteDuplicateFiles({dir / "scan", dir / "scan/"}, false, progress, nullptr,
                                            dir / "scan/d.xml");
  for (const char* name : {"scan/a.xml", "scan/b.xml", "scan/c.xml", "scan/d.xml"}) {
    EXPECT_TRUE(Exists(dir / name)) << name;
  }
  EXPECT_EQ(s.duplicates, 0u);
}

}  // namespace
}  // namespace vorlin::testing
