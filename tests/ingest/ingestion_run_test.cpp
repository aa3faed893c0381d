// The ingestion run: its log, the files it deletes, the store and the index it writes.
#include "ingest/ingestion_run.h"

#include <gtest/gtest.h>

#include "ingest_test_support.h"
#include "store/crc32.h"
#include "store/key_index.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin::testing {
namespace {

class IngestionRunTest : public IngestRunTest {
 protected:
  // Runs once as the one-shot button does; returns the log.
  std::vector<std::string> OneShot() {
    IngestEnv env = Env();
    RunOneShotIngestion(options_, env);
    return log_;
  }
};

TEST_F(IngestionRunTest, AnEmptyFolderListLogsEveryStepAndCreatesAnEmptyStore) {
  options_.scanFolders.clear();
  options_.deleteProcessed = true;
  EXPECT_EQ(OneShot(),
            (std::vector<std::string>{
                "    Запуск однократно.(Start one-shot.) 06.12.2026 21:00:00",
                "    Начал поиск дублей. (Began searching for of the copies.)",
                "All scan files=0 All scan files size =0 All test=0 Dubl- 0 Size dubl= 0",
                "    Начал загрузку сообщений (Began loading the messages)06.12.2026 "
                "21:00:00",
                "    Сканирование файлов перед загрузкой ",
                "    Запись найденых сообщений в файл ",
                "    Удаление обработанных файлов ",
                "    Загрузка завершена.Загружено новых сообщений 0",
                "  Операция завершена.(The Operation completed) 06.12.2026 21:00:00",
            }));
  EXPECT_TRUE(Exists(options_.storeName));
  EXPECT_EQ(ReadFile(options_.storeName), "");
  EXPECT_EQ(ReadFile(dir_ / "store.BCRC32"), "");
}

TEST_F(IngestionRunTest, LogsBadFilesAndDeletesOnlyWhatTheOptionsSay) {
  options_.purgeDuplicates = false;
  WriteFile(Feeds("a_good.xml"), Feed("Good", Item("one", "d1") + Item("two", "d2")));
  WriteFile(Feeds("b_bad.xml"), "<rss version=\"2.0\"><channel><title>x</channel></rss>");
  WriteFile(Feeds("c_atom.xml"), "<feed xmlns=\"http://www.w3.org/2005/Atom\"></feed>");
  WriteFile(Feeds("d_ns.xml"), "<rss version=\"2.0\"><channel><title>NS</title><dc:x>1</dc:x>" +
                                   Item("three", "d3") + "</channel></rss>");
  // A name the code page cannot hold is read all the same (and shown with "?").
  WriteFile(Feeds("e_日本.xml"), Feed("Far", Item("four", "d4")));
  const std::string f = dir_.Folder() + "feeds/";
  std::vector<std::string> log = OneShot();
  EXPECT_EQ(log, (std::vector<std::string>{
                     "    Запуск однократно.(Start one-shot.) 06.12.2026 21:00:00",
                     "    Начал загрузку сообщений (Began loading the messages)06.12.2026 21:00:00",
                     "    Сканирование файлов перед загрузкой ",
                     " Ошибка при парсинге файла " + f + "b_bad.xml",
                     " файл не разобран " + f + "d_ns.xml",
                     "    Запись найденых сообщений в файл ",
                     "    Загрузка завершена.Загружено новых сообщений 4",
                     "  Операция завершена.(The Operation completed) 06.12.2026 21:00:00",
                 }));
  EXPECT_FALSE(Exists(Feeds("b_bad.xml")));  // CBoxDelBadRSSFiles is on by default
  EXPECT_TRUE(Exists(Feeds("a_good.xml")) && Exists(Feeds("c_atom.xml")) &&
              Exists(Feeds("d_ns.xml")) && Exists(Feeds("e_日本.xml")));

  // Second run: nothing new, and now every handled file goes.
  options_.deleteProcessed = true;
  options_.deleteNotRss = true;
  log = OneShot();
  EXPECT_EQ(log[log.size() - 2], "    Загрузка завершена.Загружено новых сообщений 0");
  EXPECT_EQ(log[log.size() - 3], "    Удаление обработанных файлов ");
  EXPECT_FALSE(Exists(Feeds("a_good.xml")) || Exists(Feeds("c_atom.xml")) ||
               Exists(Feeds("d_ns.xml")) || Exists(Feeds("e_日本.xml")));
  EXPECT_EQ(index_.Size(), 4u);
}

TEST_F(IngestionRunTest, ATimedRunLogsNeitherStartNorCompletion) {
  WriteFile(Feeds("a.xml"), Feed("C", Item("one", "d1")));
  WriteFile(Feeds("b.xml"), Feed("C", Item("one", "d1")));
  IngestEnv env = Env();
  EXPECT_EQ(RunTimedIngestion(options_, env), 1);
  EXPECT_EQ(log_,
            (std::vector<std::string>{
                "    Начал поиск дублей. (Began searching for of the copies.)",
                "All scan files=2 All scan files size = 508 All test=2 Dubl- 1 Size dubl=  254",
                "    Начал загрузку сообщений (Began loading the messages)",
                "    Сканирование файлов перед загрузкой ",
                "    Запись найденых сообщений в файл ",
                "    Загрузка завершена.Загружено новых сообщений 1",
            }));
  EXPECT_FALSE(Exists(Feeds("b.xml")));
}

TEST_F(IngestionRunTest, ShowsThePercentageOfFilesDoneWhileWalkingThem) {
  for (const char* name : {"a.xml", "b.xml", "c.xml"}) WriteFile(Feeds(name), "not a feed");
  RecordingProgress scan, files;
  IngestEnv env{index_, nullptr, scan, nullptr, &files};
  RunIngestion(options_, env);
  const std::string f = dir_.Folder() + "feeds/";
  EXPECT_EQ(files.texts,
            (std::vector<std::string>{"Обработано 33% Обработка файла " + f + "a.xml",
                                      "Обработано 66% Обработка файла " + f + "b.xml",
                                      "Обработано 100% Обработка файла " + f + "c.xml"}));
  EXPECT_EQ(scan.texts.size(), 3u);  // "Scan =" for each file
}

TEST_F(IngestionRunTest, AStoreThatCannotBeWrittenLeavesIndexAndSourcesAlone) {
  options_.purgeDuplicates = false;
  options_.deleteProcessed = true;
  std::filesystem::create_directory(options_.storeName);  // a folder where the store should be
  WriteFile(dir_ / "store.BCRC32", MessageKey("old") + "\r\n");
  index_.Add(MessageKey("old"));
  WriteFile(Feeds("a.xml"), Feed("C", Item("one", "d1") + Item("two", "d2")));
  IngestEnv env = Env();
  EXPECT_THROW(RunIngestion(options_, env), Error);
  EXPECT_EQ(log_.back(), "    Запись найденых сообщений в файл ");
  EXPECT_TRUE(Exists(Feeds("a.xml")));
  EXPECT_EQ(ReadFile(dir_ / "store.BCRC32"), MessageKey("old") + "\r\n");
  // The keys of the lost run are gone from memory too, so a later run stores the items.
  EXPECT_EQ(index_.Keys(), std::vector<std::string>{MessageKey("old")});
}

TEST_F(IngestionRunTest, AppendsToTheStoreAndSavesTheKeysARebuiltIndexWouldHave) {
  // A carriage return in a description comes back from the store as a line feed; the key made
  // at ingestion must be the key a rebuild makes, or a rebuild lets the item in again.
  WriteFile(Feeds("a.xml"), Feed("C", Item("one", "a&#13;&#10;b")));
  OneShot();
  const std::string first = ReadFile(options_.storeName);
  WriteFile(Feeds("b.xml"), Feed("C", Item("two", "c&#13;d")));
  OneShot();
  EXPECT_EQ(ReadFile(options_.storeName).substr(0, first.size()), first);
  KeyIndex rebuilt;
  RebuildStoreIndex(options_.storeName, rebuilt);
  ASSERT_EQ(rebuilt.Size(), 2u);
  EXPECT_EQ(index_.Keys(), rebuilt.Keys());
  EXPECT_EQ(ReadFile(dir_ / "store.BCRC32"), JoinLines(rebuilt.Keys()));
  OneShot();  // the same feeds again add nothing
  EXPECT_EQ(LoadedStore(options_.storeName).Count(), 2);
}

TEST_F(IngestionRunTest, AStoreNamedLikeAFeedInsideAScanFolderIsLeftAlone) {
  options_.storeName = Feeds("store.xml");
  options_.deleteNotRss = true;
  options_.deleteBadFiles = true;
  options_.deleteProcessed = true;
  WriteFile(Feeds("a.xml"), Feed("C", Item("one", "<![CDATA[mentions <rss here]]>")));
  OneShot();
  OneShot();  // now the store holds "<rss " and is no valid feed: it must survive all the same
  EXPECT_EQ(LoadedStore(options_.storeName).Count(), 1);
}

}  // namespace
}  // namespace vorlin::testing
