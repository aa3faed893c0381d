// Export of messages to files and stores, and their removal from the store afterwards.
#include "reader/export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ingest/store_append.h"
#include "store/store_format.h"
#include "store/store_loader.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

using test::ErrorText;
using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;
using test::WriteBytes;

MessageList Messages(std::initializer_list<MessageValues> messages) {
  MessageList list;
  for (MessageValues m : messages) list.Add(std::move(m));
  return list;
}

std::vector<std::string> Files(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) {
      names.push_back(std::filesystem::relative(e.path(), folder).string());
    }
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

TEST(ExportFiles, SuffixesNeverOverwriteAndProgressCountsEveryHundred) {
  TempDir dir;
  ExportOptions options{ExportKind::kText, dir / "out", "", 80, false};
  const MessageList same = Messages({{"C", "T", "l", "d", "p"}, {"C", "T", "l", "d", "p"}});
  RecordingProgress progress;
  ASSERT_TRUE(ExportMessages(same, {0, 1}, options, "", progress, nullptr));
  ASSERT_TRUE(ExportMessages(same, {1, 0}, options, "", progress, nullptr));
  EXPECT_EQ(Files(options.outFolder),
            (std::vector<std::string>{"C/T_0.txt", "C/T_1.txt", "C/T_2.txt", "C/T_3.txt"}));

  MessageList many;
  std::vector<int> numbers;
  for (int i = 0; i < 250; ++i) {
    many.Add({"", "t", "l", "d", "p"});
    numbers.push_back(i);
  }
  options.kind = ExportKind::kHtml;
  progress.texts.clear();
  ASSERT_TRUE(ExportMessages(many, numbers, options, "", progress, nullptr));
  EXPECT_EQ(progress.texts,
            (std::vector<std::string>{"all files-249 current-0", "all files-249 current-100",
                                      "all files-249 current-200", " Ok-250"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "out/blank_name/t_249.html"));
}

TEST(ExportFiles, CyrillicNamesFitTheFileSystemAndAFolderThatCannotBeMadeEndsTheExport) {
  TempDir dir;
  ExportOptions options{ExportKind::kText, dir / "out", "", 200, false};
  std::string cyrillic;
  for (int i = 0; i < 200; ++i) cyrillic += W("Ж");
  RecordingProgress progress;
  ASSERT_TRUE(ExportMessages(Messages({{cyrillic, cyrillic, "l", "d", "p"}}), {0}, options, "",
                             progress, nullptr));
  const std::vector<std::string> files = Files(options.outFolder);
  ASSERT_EQ(files.size(), 1u);
  for (const auto& part : std::filesystem::path(files[0])) EXPECT_LE(part.string().size(), 255u);

  WriteBytes(dir / "plain", "a file where a folder should be");
  options.outFolder = dir / "plain";
  EXPECT_NE(
      ErrorText<ExportFolderError>([&] {
        ExportMessages(Messages({{"C", "T", "l", "d", "p"}}), {0}, options, "", progress, nullptr);
      }).find("Невозможно создать каталог(Impossible create Dir.) - "),
      std::string::npos);
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
    NullProgress progress;
    LoadStore(store_, list_, progress);
    stamp_ = StampStore(store_, std::filesystem::file_size(store_));
  }
  std::vector<std::string> Titles(const std::string& name) {
    MessageList list;
    NullProgress progress;
    LoadStore(name, list, progress);
    return list.title;
  }
  bool Export(const ExportOptions& options, ExistsAnswer answer = ExistsAnswer::kCancel) {
    RecordingProgress progress;
    return ExportAndRemove(list_, {1, 3}, options, store_, stamp_, progress,
                           [answer] { return answer; });
  }
  TempDir dir_;
  std::string store_ = dir_ / "news.rss";
  MessageList list_;
  StoreStamp stamp_;
};

TEST_F(StoreExport, SplittingAStoreKeepsEveryMessageInOneOfTheTwo) {
  const std::string part = dir_ / "part.rss";
  // An ingestion run appends a message after the load.
  AppendToStore(store_,
                "<item>\r\n<titleRss><![CDATA[C]]></titleRss>\r\n<title><![CDATA[e]]>"
                "</title>\r\n<link><![CDATA[l]]></link>\r\n<description><![CDATA[new]]>"
                "</description>\r\n<pubDate><![CDATA[p]]></pubDate>\r\n</item>\r\n");
  ASSERT_TRUE(Export({ExportKind::kStore, "", part, 80, true}));
  EXPECT_EQ(Titles(part), (std::vector<std::string>{"b", "d"}));
  EXPECT_EQ(Titles(store_), (std::vector<std::string>{"a", "c", "e"}));
  // The values were loaded escaped, and go out as they came in.
  EXPECT_NE(ReadBytes(part).find("<![CDATA[x&#093;&#093;>y]]>"), std::string::npos);
}

TEST_F(StoreExport, TheFileExistsPromptOverwritesAppendsOrCancels) {
  const std::string part = dir_ / "part.rss";
  const std::string before = ReadBytes(store_);
  WriteBytes(part, "old");
  EXPECT_FALSE(Export({ExportKind::kStore, "", part, 80, true}, ExistsAnswer::kCancel));
  EXPECT_EQ(ReadBytes(part), "old");
  EXPECT_EQ(ReadBytes(store_), before);  // cancelled: nothing removed

  ASSERT_TRUE(Export({ExportKind::kStore, "", part, 80, false}, ExistsAnswer::kOverwrite));
  const std::string exported = ReadBytes(part);
  EXPECT_EQ(Titles(part), (std::vector<std::string>{"b", "d"}));
  ASSERT_TRUE(Export({ExportKind::kStore, "", part, 80, false}, ExistsAnswer::kAppend));
  EXPECT_EQ(ReadBytes(part), exported + exported);
  EXPECT_EQ(ReadBytes(store_), before);  // deletion off
}

TEST_F(StoreExport, TheStoreItselfIsNeverATargetAndAFailedExportRemovesNothing) {
  const std::string before = ReadBytes(store_);
  std::filesystem::create_hard_link(store_, dir_ / "alias.rss");
  EXPECT_NE(ErrorText([&] {
              Export({ExportKind::kStore, "", dir_ / "alias.rss", 80, true});
            }).find("it is the store the messages come from"),
            std::string::npos);
  EXPECT_THROW(Export({ExportKind::kStore, "", "/dev/full/x.rss", 80, true}), Error);
  EXPECT_THROW(Export({ExportKind::kText, "/dev/full", "", 80, true}), Error);
  EXPECT_EQ(ReadBytes(store_), before);
}

}  // namespace
}  // namespace vorlin

namespace vorlin {
namespace {

TEST_F(StoreExport, TheCommandSplitsAStoreAndRefusesWhatWouldLoseMessages) {
  const std::string part = dir_ / "part.rss";
  test::CliRun run = test::RunCli("export " + store_ + " --title b --as store --to " + part);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, " Ok-1\n");
  // The target exists now: without an answer the export is cancelled and nothing removed.
  run = test::RunCli("export " + store_ + " --as store --to " + part + " --delete");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Titles(store_).size(), 4u);
  run = test::RunCli("export " + store_ + " --title d --as store --to " + part +
                     " --exists append --delete");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Titles(part), (std::vector<std::string>{"b", "d"}));
  EXPECT_EQ(Titles(store_), (std::vector<std::string>{"a", "b", "c"}));
  run = test::RunCli("export " + store_ + " --as store --to " + store_ + " --delete");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Titles(store_), (std::vector<std::string>{"a", "b", "c"}));
}

}  // namespace
}  // namespace vorlin
