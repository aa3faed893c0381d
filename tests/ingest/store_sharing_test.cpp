// One store, two processes: the lock keeps writers apart, and a run of this process takes in
// the keys another process saved.
#include <gtest/gtest.h>

#include <chrono>

#include "ingest/ingestion_run.h"
#include "ingest_test_support.h"
#include "store/store_loader.h"
#include "store/store_lock.h"
#include "store/store_recovery.h"

namespace vorlin::testing {
namespace {

using namespace std::chrono_literals;

class StoreSharingTest : public ::testing::Test {
 protected:
  StoreSharingTest() {
    WriteFile(dir_ / "cron/a.xml", Feed("A", Item("one", "d1") + Item("two", "d2")));
    WriteFile(dir_ / "window/a.xml", ReadFile(dir_ / "cron/a.xml"));
    WriteFile(dir_ / "window/b.xml", Feed("B", Item("three", "d3")));
  }

  // `vorlin-cli ingest` in a process of its own, over the folder `cron`.
  test::CliRun CronIngest(const std::string& extra = "") {
    return test::RunCli(extra + " --config-dir " + dir_.Folder() + " ingest --store " + store_ +
                        " --scan " + (dir_ / "cron") + " --delete-processed");
  }

  int Messages() { return LoadedStore(store_).Count(); }

  TempDir dir_;
  std::string store_ = dir_ / "news.rss";
};

TEST_F(StoreSharingTest, ASecondWriterWaitsThenReportsTheStoreBusyAndChangesNothing) {
  WriteFile(store_, "");
  const auto started = std::chrono::steady_clock::now();
  {
    StoreLock held(store_);  // this process is the first writer
    test::CliRun busy = CronIngest("--lock-wait 0.3");
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.err.find("is busy"), std::string::npos) << busy.err;
    EXPECT_EQ(busy.out, "");
  }
  EXPECT_GE(std::chrono::steady_clock::now() - started, 300ms);
  EXPECT_EQ(ReadFile(store_), "");
  EXPECT_FALSE(Exists(dir_ / "news.BCRC32"));
  EXPECT_TRUE(Exists(dir_ / "cron/a.xml"));

  EXPECT_EQ(CronIngest().status, 0);  // the lock is free again
  EXPECT_EQ(Messages(), 2);
}

TEST_F(StoreSharingTest, TheWindowTakesInKeysAnotherProcessSavedAndStoresNothingTwice) {
  WriteFile(store_, "");
  KeyIndex windowIndex;  // loaded at start-up, before the cron job ran
  OpenStoreIndex(store_, windowIndex, 0ms);
  ASSERT_EQ(CronIngest().status, 0);

  // A stale window saving at shutdown keeps the other process's keys.
  KeyIndex stale = windowIndex;
  SaveStoreIndexLocked(store_, stale);
  KeyIndex saved;
  saved.Load(dir_ / "news.BCRC32");
  EXPECT_EQ(saved.Size(), 2u);

  IngestOptions options;
  options.storeName = store_;
  options.scanFolders = {dir_ / "window"};
  NullProgress progress;
  IngestEnv env{windowIndex, nullptr, progress};
  EXPECT_EQ(RunOneShotIngestion(options, env), 1);  // only "three" is new
  EXPECT_EQ(Messages(), 3);
  EXPECT_EQ(windowIndex.Size(), 3u);
}

}  // namespace
}  // namespace vorlin::testing
