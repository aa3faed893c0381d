// The ingestion timer driven tick by tick, and the switch to another store.
#include "ingest/scan_timer.h"

#include <gtest/gtest.h>

#include "ingest/store_swap.h"
#include "ingest_test_support.h"
#include "store/crc32.h"
#include "store/store_format.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(ScanTimerTest, CountsDownFrom59AndRunsOnTheSixtiethTick) {
  ScanTimer timer;
  timer.Start("1");
  int runs = 0;
  auto run = [&] {
    EXPECT_EQ(timer.state(), ScanTimer::State::kRunning);
    EXPECT_FALSE(timer.TimerEnabled());
    ++runs;
  };
  std::string period = "1";
  for (int expected = 59; expected >= 1; --expected) {
    EXPECT_EQ(timer.Tick(run, [&] { return period; }), std::to_string(expected) + W(" сек (Sec)"));
  }
  EXPECT_EQ(runs, 0);
  period = "2";  // a changed period counts from the end of the run
  EXPECT_EQ(timer.Tick(run, [&] { return period; }), "");
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(timer.state(), ScanTimer::State::kArmed);
  EXPECT_EQ(timer.Tick(run, [&] { return period; }), "119" + W(" сек (Sec)"));
}

TEST(ScanTimerTest, RefusesAPeriodThatIsNotAWholeNumberAboveZero) {
  for (const char* bad : {"0", "-5", "", "1.5", " 15"}) {
    ScanTimer timer;
    EXPECT_THROW(timer.Start(bad), Error) << bad;
    EXPECT_EQ(timer.state(), ScanTimer::State::kStopped);
  }
}

TEST(ScanTimerTest, AFailedRunLeavesTheTimerStopped) {
  // A stop during a run is driven through the scan page (ScanPageTimerTest).
  ScanTimer timer;
  timer.Start("1");
  for (int i = 0; i < 59; ++i) timer.Tick([] {}, [] { return std::string("1"); });
  EXPECT_THROW(timer.Tick([] { throw Error("store"); }, [] { return std::string("1"); }), Error);
  EXPECT_EQ(timer.state(), ScanTimer::State::kStopped);
  EXPECT_TRUE(timer.StartButtonsEnabled());

  // A period made invalid while counting down fails at the re-arming.
  timer.Start("1");
  for (int i = 0; i < 59; ++i) timer.Tick([] {}, [] { return std::string("x"); });
  EXPECT_THROW(timer.Tick([] {}, [] { return std::string("x"); }), Error);
  EXPECT_EQ(timer.state(), ScanTimer::State::kStopped);
}

TEST(StoreSwapTest, SavesTheOldIndexesAndNeverCarriesKeysToAnotherStore) {
  TempDir dir;
  const std::string oldStore = dir / "old.rss";
  KeyIndex storeIndex, readIndex, readBase;
  storeIndex.Add(MessageKey("a"));
  readIndex.Add(ReadKey("t", "a"));

  // The new store does not exist: both indexes start empty, whatever index file is left.
  WriteFile(dir / "new.BCRC32", MessageKey("stale") + "\r\n");
  SwitchStore(oldStore, dir / "new.rss", storeIndex, readIndex, readBase);
  EXPECT_EQ(ReadFile(dir / "old.BCRC32"), MessageKey("a") + "\r\n");
  EXPECT_EQ(ReadFile(dir / "old.RMCRC32"), ReadKey("t", "a") + "\r\n");
  EXPECT_EQ(storeIndex.Size(), 0u);
  EXPECT_EQ(readIndex.Size(), 0u);

  // A store without an index file gets it rebuilt; the read index comes from its file.
  std::string third;
  WriteItemBlock(third, {"c", "t", "l", "b", "p"}, true);
  WriteFile(dir / "third.rss", third);
  WriteFile(dir / "third.RMCRC32", ReadKey("t", "b") + "\r\n");
  SwitchStore(dir / "new.rss", dir / "third.rss", storeIndex, readIndex, readBase);
  EXPECT_EQ(storeIndex.Keys(), std::vector<std::string>{MessageKey("b")});
  EXPECT_EQ(ReadFile(dir / "third.BCRC32"), MessageKey("b") + "\r\n");
  EXPECT_TRUE(readIndex.Contains(ReadKey("t", "b")));

  // Back to the first store, which exists now (empty) beside an index file: the file is
  // loaded as it stands, not rebuilt from the empty store.
  WriteFile(oldStore, "");
  WriteFile(dir / "old.BCRC32", MessageKey("a") + "\r\n");
  SwitchStore(dir / "third.rss", oldStore, storeIndex, readIndex, readBase);
  EXPECT_EQ(storeIndex.Keys(), std::vector<std::string>{MessageKey("a")});

  // A new store that cannot be parsed leaves both indexes as they were.
  WriteFile(dir / "broken.rss", "<item>");
  EXPECT_THROW(SwitchStore(oldStore, dir / "broken.rss", storeIndex, readIndex, readBase), Error);
  EXPECT_EQ(storeIndex.Keys(), std::vector<std::string>{MessageKey("a")});
}

}  // namespace
}  // namespace vorlin
