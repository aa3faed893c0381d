// Export of messages to files and stores, and their removal from the store afterwards.
#include "reader/export.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>

#include "store/store_format.h"
#include "store/store_loader.h"
#include "store/store_lock.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

using test::ErrorText;
using test::ReadBytes;
using test::WriteBytes;

std::vector<std::string> Files(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) names.push_back(std::filesystem::relative(e.path(), folder));
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ExportNames, SafeNamesAndTheirCuts) {
  EXPECT_EQ(SafeName("  Hi/there: 42\t"), "Hi_there_ 42");
  EXPECT_EQ(SafeName(W("«...»")), "_____");
  EXPECT_EQ(SafeName(" \r\n"), "blank_name");
  EXPECT_EQ(SafeName(W("Ёжик")), W("_жик"));
  EXPECT_EQ(ExportRelativeName("/out", "Channel", "Title", 3), "Cha/Tit");
  // A long output folder cuts into the channel part: the file lands in the folder itself.
  EXPECT_EQ(ExportRelativeName(std::string(197, 'f'), "Channel", "Title", 80), "Cha");
  EXPECT_EQ(ExportRelativeName(std::string(250, 'f'), "Channel", "Title", 80), "");
}

TEST(ExportFiles, TextAndHtmlFilesHoldTheMessageByteForByte) {
  const MessageValues m = {"Chan", "Title", "http://x/1", "one\ntwo", "Mon, 30 Nov 2026"};
  EXPECT_EQ(ExportText(m),
            "Chan\r\n\r\nTitle\r\n\r\none\r\ntwo\r\n\r\n (Date):  Mon, 30 Nov 2026\r\n"
            " (Link):  http://x/1\r\n");
  EXPECT_EQ(ExportHtml({"Chan", "Title", "http://x/1", "<b>d</b>", "Mon"}),
            "<HTML><HEAD><meta charset=\"windows-1251\"><meta http-equiv=\"Content-Security-"
            "Policy\" content=\"default-src 'none'; img-src * data:; style-src 'unsafe-inline'\">"
            "<title>Title</title>Chan</HEAD><BODY><p>Title</p><b>d</b><p> (Date):  Mon</p><p> (<a "
            "href=\"http://x/1\">Link</a>):  http://x/1</p></BODY></HTML>\r\n");
}

class StoreExport : public ::testing::Test {
 protected:
  // A store of four messages, loaded and stamped as the reader loads it.
  void SetUp() override {
    std::string blocks;
    for (const char* t : {"a", "b", "c", "d"}) {
      WriteItemBlock(blocks, {"C", t, "l", "x]]>y", "p"}, true);
    }
    WriteBytes(store_, NormaliseLineBreaks(blocks));
    LoadStore(store_, list_, null_);
    stamp_ = StampStore(store_, std::filesystem::file_size(store_));
  }
  std::vector<std::string> Titles(const std::string& name) {
    MessageList list;
    LoadStore(name, list, null_);
    return list.title.Strings();
  }
  bool Export(const ExportOptions& options, ExistsAnswer answer = ExistsAnswer::kCancel) {
    return ExportAndRemove(list_, {1, 3}, options, store_, stamp_, progress_,
                           [answer] { return answer; });
  }
  bool ExportFiles(const MessageList& list, const std::vector<int>& numbers,
                   const ExportOptions& options) {
    return ExportMessages(list, numbers, options, store_, progress_, nullptr);
  }
  test::TempDir dir_;
  std::string store_ = dir_ / "news.rss";
  std::string part_ = dir_ / "part.rss";
  MessageList list_;
  StoreStamp stamp_;
  NullProgress null_;
  test::RecordingProgress progress_;
};

// Another program cuts the loaded store short: the list reads zeros past the cut instead of
// crashing, and nothing is exported or written back from it.
TEST_F(StoreExport, AStoreCutShortUnderTheListIsNeverWrittenFrom) {
  std::string blocks;
  for (int i = 0; i < 100; ++i)
    WriteItemBlock(blocks, {"C", "t", "l", std::string(99, 'x'), "p"}, true);
  WriteBytes(store_, NormaliseLineBreaks(blocks));
  LoadStore(store_, list_, null_);
  stamp_ = StampStore(store_, std::filesystem::file_size(store_));
  ASSERT_TRUE(list_.Intact());
  std::filesystem::resize_file(store_, 10);
  EXPECT_EQ(list_.description[99], std::string(99, '\0'));
  EXPECT_FALSE(list_.Intact());
  ExportOptions options{ExportKind::kText, dir_ / "out", part_, 80, false};
  for (ExportKind kind : {ExportKind::kText, ExportKind::kStore}) {
    options.kind = kind;
    EXPECT_EQ(ErrorText([&] {
                ExportFiles(list_, {0, 99}, options);
              }),
              "Хранилище изменено другой программой после загрузки: загрузите его снова. (The "
              "store was changed by another program after it was loaded: load it again.)");
  }
  EXPECT_FALSE(std::filesystem::exists(options.outFolder + "/C/t_0.txt"));
  EXPECT_FALSE(std::filesystem::exists(part_));
}

TEST_F(StoreExport, FileSuffixesNeverOverwriteAndProgressCountsEveryHundred) {
  ExportOptions options{ExportKind::kText, dir_ / "out", "", 80, false};
  MessageList same;
  same.Add({"C", "T", "l", "d", "p"});
  same.Add({"C", "T", "l", "d", "p"});
  ASSERT_TRUE(ExportFiles(same, {0, 1}, options));
  ASSERT_TRUE(ExportFiles(same, {1, 0}, options));
  EXPECT_EQ(Files(options.outFolder),
            (std::vector<std::string>{"C/T_0.txt", "C/T_1.txt", "C/T_2.txt", "C/T_3.txt"}));

  MessageList many;
  std::vector<int> numbers;
  for (int i = 0; i < 250; ++i) {
    many.Add({"", "t", "l", "d", "p"});
    numbers.push_back(i);
  }
  options.kind = ExportKind::kHtml;
  progress_.texts.clear();
  ASSERT_TRUE(ExportFiles(many, numbers, options));
  EXPECT_EQ(progress_.texts,
            (std::vector<std::string>{"all files-249 current-0", "all files-249 current-100",
                                      "all files-249 current-200", " Ok-250"}));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "out/blank_name/t_249.html"));
}

TEST_F(StoreExport, CyrillicFileNamesFitTheFileSystemAndAFolderThatCannotBeMadeEndsTheExport) {
  ExportOptions options{ExportKind::kText, dir_ / "out", "", 200, false};
  std::string cyrillic;
  for (int i = 0; i < 200; ++i) cyrillic += W("Ж");
  MessageList list;
  list.Add({cyrillic, cyrillic, "l", "d", "p"});
  ASSERT_TRUE(ExportFiles(list, {0}, options));
  const std::vector<std::string> files = Files(options.outFolder);
  ASSERT_EQ(files.size(), 1u);
  for (const auto& part : std::filesystem::path(files[0])) EXPECT_LE(part.string().size(), 255u);

  WriteBytes(dir_ / "plain", "a file where a folder should be");
  options.outFolder = dir_ / "plain";
  EXPECT_NE(ErrorText<ExportFolderError>([&] {
              ExportFiles(list_, {0}, options);
            }).find("Невозможно создать каталог(Impossible create Dir.) - "),
            std::string::npos);
}

TEST_F(StoreExport, TheFileExistsPromptOverwritesAppendsOrCancelsThroughALinkKeepingTheMode) {
  const std::string before = ReadBytes(store_);
  const auto privateMode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  WriteBytes(dir_ / "real.rss", "old");
  std::filesystem::permissions(dir_ / "real.rss", privateMode);
  std::filesystem::create_symlink("real.rss", part_);
  EXPECT_FALSE(Export({ExportKind::kStore, "", part_, 80, true}, ExistsAnswer::kCancel));
  EXPECT_EQ(ReadBytes(part_), "old");
  EXPECT_EQ(ReadBytes(store_), before);  // cancelled: nothing removed

  ASSERT_TRUE(Export({ExportKind::kStore, "", part_, 80, false}, ExistsAnswer::kOverwrite));
  const std::string exported = ReadBytes(part_);
  EXPECT_EQ(Titles(part_), (std::vector<std::string>{"b", "d"}));
  // The values were loaded escaped, and go out as they came in.
  EXPECT_NE(exported.find("<![CDATA[x&#093;&#093;>y]]>"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_symlink(part_));
  EXPECT_EQ(std::filesystem::status(part_).permissions(), privateMode);
  ASSERT_TRUE(Export({ExportKind::kStore, "", part_, 80, false}, ExistsAnswer::kAppend));
  EXPECT_EQ(ReadBytes(part_), exported + exported);
  EXPECT_EQ(ReadBytes(store_), before);  // deletion off
}

TEST_F(StoreExport, TargetsThatBelongToTheStoreOrAreNoFilesAreRefusedBeforeAWrite) {
  const std::string before = ReadBytes(store_);
  std::filesystem::create_hard_link(store_, dir_ / "alias.rss");
  ::mkfifo((dir_ / "fifo").c_str(), 0644);
  std::filesystem::create_symlink(dir_ / "fifo", dir_ / "to-fifo.rss");
  std::filesystem::create_directory(dir_ / "folder.rss");
  for (const std::string& target :
       {dir_ / "alias.rss", dir_ / "temp_FileAllRSS_0000.rss", store_ + ".bak",
        dir_ / "news.BCRC32", dir_ / "fifo", dir_ / "to-fifo.rss", dir_ / "folder.rss",
        std::string(), std::string("/dev/full/x.rss")}) {
    EXPECT_THROW(Export({ExportKind::kStore, "", target, 80, true}, ExistsAnswer::kOverwrite),
                 Error)
        << target;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "temp_FileAllRSS_0000.rss"));
  EXPECT_FALSE(std::filesystem::exists(store_ + ".bak"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir_ / "fifo"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "to-fifo.rss"));
  // An empty output folder would put the files into the root of the file system.
  EXPECT_NE(ErrorText([&] {
              Export({ExportKind::kHtml, "", "", 80, true});
            }).find("(No output folder"),
            std::string::npos);
  EXPECT_EQ(ReadBytes(store_), before);
}

TEST_F(StoreExport, ARefusedRemovalIsRefusedBeforeTheExportWrites) {
  {  // another process is writing the store
    const int fd = ::open(StoreLockName(store_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const auto wait = StoreLockWait();
    SetStoreLockWait(std::chrono::milliseconds(0));
    EXPECT_THROW(Export({ExportKind::kStore, "", part_, 80, true}), StoreBusyError);
    SetStoreLockWait(wait);
    ::close(fd);
    EXPECT_FALSE(std::filesystem::exists(part_));
  }
  ASSERT_TRUE(Export({ExportKind::kStore, "", part_, 80, true}));
  const std::string exported = ReadBytes(part_);
  // The same list again: the store is another file now, and a retry must not duplicate.
  EXPECT_THROW(Export({ExportKind::kStore, "", part_, 80, true}, ExistsAnswer::kAppend), Error);
  EXPECT_THROW(Export({ExportKind::kText, dir_ / "out", "", 80, true}), Error);
  EXPECT_EQ(ReadBytes(part_), exported);
  // Numbers the list does not hold are never read.
  EXPECT_THROW(ExportFiles(list_, {1, 7}, {ExportKind::kText, dir_ / "out", "", 80, false}), Error);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out"));
}

TEST_F(StoreExport, AFailedFileExportLeavesNoFileUnderItsName) {
  // A full disk, as root cannot bypass it: no byte may be written.
  struct rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit none = old;
  none.rlim_cur = 0;
  ::setrlimit(RLIMIT_FSIZE, &none);
  const std::string error = ErrorText([&] {
    ExportFiles(list_, {1}, {ExportKind::kHtml, dir_ / "out", "", 80, false});
  });
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_NE(error, "no error");
  EXPECT_EQ(Files(dir_ / "out"), std::vector<std::string>{});
}

TEST_F(StoreExport, TheCommandTakesItsTargetAsOutAndToAsTheEndDate) {
  std::string dated;
  for (const char* date : {"Mon, 05 May 2008 10:00:00 +0000", "Thu, 01 Jan 2009 10:00:00 +0000"}) {
    WriteItemBlock(dated, {"C", date, "l", "d", date}, true);
  }
  WriteBytes(store_, NormaliseLineBreaks(dated));
  const std::string range = "export " + store_ + " --from 2008-01-01 --to 2008-12-31 --as store ";
  // The target given as a second --to is a date that does not parse: nothing is done.
  EXPECT_EQ(test::RunCli(range + "--to " + part_ + " --delete").status, 2);
  EXPECT_FALSE(std::filesystem::exists(part_));
  test::CliRun run = test::RunCli(range + "--out " + part_ + " --delete");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, " Ok-1\n");
  EXPECT_EQ(Titles(part_), (std::vector<std::string>{"Mon, 05 May 2008 10:00:00 +0000"}));
  EXPECT_EQ(Titles(store_), (std::vector<std::string>{"Thu, 01 Jan 2009 10:00:00 +0000"}));
  // An existing target without --exists is cancelled.
  EXPECT_EQ(test::RunCli("export " + store_ + " --as store --out " + part_ + " --delete").status,
            1);
  EXPECT_EQ(Titles(store_).size(), 1u);
  // A name outside the code page names its own file, never one with "?" in its place.
  EXPECT_EQ(test::RunCli("export " + store_ + " --as store --out " + dir_ / "日本.rss").status, 0);
  EXPECT_EQ(Titles(Utf8ToCp1251Refs(dir_ / "日本.rss")).size(), 1u);
}

}  // namespace
}  // namespace vorlin
