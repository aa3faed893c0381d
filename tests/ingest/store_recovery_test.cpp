// Mending what a killed writer left behind, case by case: half an append, an append whose keys
// never reached the index, an index older than its store.
#include "store/store_recovery.h"

#include <gtest/gtest.h>

#include "ingest/store_append.h"
#include "ingest_test_support.h"
#include "store/crc32.h"
#include "store/store_format.h"
#include "store/store_lock.h"

namespace vorlin::testing {
namespace {

std::string Block(const std::string& title) {
  std::string out;
  WriteItemBlock(out, {"C", title, "https://example.org/" + title, "d-" + title, "Mon"}, true);
  return out;
}

class StoreRecoveryTest : public ::testing::Test {
 protected:
  // A store of one message whose index covers it.
  StoreRecoveryTest() {
    AppendToStore(store_, Block("old"));
    KeyIndex index;
    index.Add(MessageKey("d-old"));
    index.Add(MessageKey("d-removed-long-ago"));  // once stored, since exported away
    index.Save(indexName_);
    RecordIndexCoversStore(store_);
    old_ = ReadFile(store_);
  }

  // Appends a block as a run does, announcing it in the state file; `keep` bytes of it reach
  // the store.
  void KilledAppend(size_t keep) {
    const std::string block = NormaliseLineBreaks(Block("new"));
    BeginStoreAppend(store_, old_.size(), old_.size() + block.size());
    WriteFile(store_, old_ + block.substr(0, keep));
  }

  KeyIndex Index() {
    KeyIndex index;
    index.Load(indexName_);
    return index;
  }

  TempDir dir_;
  std::string store_ = dir_ / "news.rss";
  std::string indexName_ = dir_ / "news.BCRC32";
  std::string old_;
};

TEST_F(StoreRecoveryTest, HalfAnAppendIsCutOffAndAWholeOneGetsItsKeys) {
  EXPECT_EQ(RecoverStore(store_), Recovery::kNone);

  KilledAppend(40);
  WriteFile(dir_ / ".news.BCRC32.Ab12Cd", "left by a killed save");
  EXPECT_EQ(RecoverStore(store_), Recovery::kAppendCut);
  EXPECT_EQ(ReadFile(store_), old_);
  EXPECT_FALSE(Exists(dir_ / ".news.BCRC32.Ab12Cd"));
  EXPECT_EQ(RecoverStore(store_), Recovery::kNone);

  KilledAppend(std::string::npos);  // the whole block, but killed before the index save
  EXPECT_EQ(RecoverStore(store_), Recovery::kIndexRebuilt);
  EXPECT_TRUE(Index().Contains(MessageKey("d-new")));
  EXPECT_TRUE(Index().Contains(MessageKey("d-removed-long-ago")));
  EXPECT_EQ(RecoverStore(store_), Recovery::kNone);
}

TEST_F(StoreRecoveryTest, AStoreChangedBehindTheIndexGetsItsKeys) {
  // Appended by a writer that knew nothing of the state file.
  WriteFile(store_, old_ + NormaliseLineBreaks(Block("other")));
  EXPECT_EQ(RecoverStore(store_), Recovery::kIndexRebuilt);
  EXPECT_TRUE(Index().Contains(MessageKey("d-other")));

  // Without a state file the index must be at least as new as the store.
  std::filesystem::remove(dir_ / "news.state");
  EXPECT_EQ(RecoverStore(store_), Recovery::kNone);
  std::filesystem::remove(dir_ / "news.state");
  std::filesystem::last_write_time(
      indexName_, std::filesystem::last_write_time(store_) - std::chrono::seconds(5));
  EXPECT_EQ(RecoverStore(store_), Recovery::kIndexRebuilt);
}

TEST(StoreSideFiles, AStoreNamedLikeItsLockOrStateFileIsNeverWrittenOver) {
  TempDir dir;
  for (const std::string& store : {dir / "x.state", dir / "y.lock"}) {
    AppendToStore(store, Block("a"));
    StoreLock lock(store);
    RecordIndexCoversStore(store);
    RecoverStore(store);
    EXPECT_EQ(ReadFile(store), NormaliseLineBreaks(Block("a")));
  }
}

}  // namespace
}  // namespace vorlin::testing
