#include "store/key_index.h"

#include <gtest/gtest.h>

#include <random>

#include "store/crc32.h"
#include "store/store_recovery.h"
#include "test_support.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

using test::TempDir;

TEST(KeyIndex, ManyAdditionsAndRemovalsMatchASimpleSet) {
  // Enough keys to pass through several batch merges.
  std::mt19937 rng(7);
  KeyIndex index;
  EXPECT_FALSE(index.Add(""));
  std::set<std::string> expected;
  for (int i = 0; i < 20000; ++i) {
    std::string key = MakeKey(rng() % 5000, rng() % 3);
    if (rng() % 4 == 0) {
      EXPECT_EQ(index.Remove(key), expected.erase(key) == 1);
    } else {
      EXPECT_EQ(index.Add(key), expected.insert(key).second);
    }
    if (i % 997 == 0) {
      std::string probe = MakeKey(rng() % 5000, rng() % 3);
      EXPECT_EQ(index.Contains(probe), expected.count(probe) == 1);
    }
  }
  EXPECT_EQ(index.Keys(), std::vector<std::string>(expected.begin(), expected.end()));
}

TEST(KeyIndex, SavesOneKeyPerCrLfLineAndLoadsHandEditedFiles) {
  TempDir dir;
  KeyIndex index;
  index.Add("00000000009000000000001");
  index.Add("00000000001000000000001");
  index.Save(dir.Name("s.BCRC32"));
  EXPECT_EQ(test::ReadBytes(dir.path() / "s.BCRC32"),
            "00000000001000000000001\r\n00000000009000000000001\r\n");

  test::WriteBytes(dir.path() / "hand.BCRC32",
                   "00000000009000000000001\nnot a key\r\n\r\n00000000001000000000001\r"
                   "00000000009000000000001\n");
  KeyIndex loaded;
  loaded.Load(dir.Name("hand.BCRC32"));
  EXPECT_EQ(loaded.Keys(), (std::vector<std::string>{"00000000001000000000001",
                                                     "00000000009000000000001", "not a key"}));
  EXPECT_TRUE(loaded.Contains("not a key"));
  EXPECT_FALSE(loaded.Contains("00000000005000000000001"));
}

TEST(KeyIndex, FailedLoadOrSaveKeepsIndexAndFileAndAMissingFileGivesAnEmptyIndex) {
  TempDir dir;
  test::WriteBytes(dir.path() / "s.BCRC32", "00000000001000000000001\r\n");
  KeyIndex index;
  index.Add("00000000002000000000001");
  std::filesystem::create_directory(dir.path() / "d.BCRC32");
  EXPECT_THROW(index.Load(dir.Name("d.BCRC32")), Error);
  EXPECT_EQ(index.Size(), 1u);
  EXPECT_THROW(index.Save(dir.Name("nope/s.BCRC32")), Error);
  EXPECT_THROW(index.Save(dir.Name("d.BCRC32")), Error);
  EXPECT_EQ(test::ReadBytes(dir.path() / "s.BCRC32"), "00000000001000000000001\r\n");
  index.Load(dir.Name("missing.RMCRC32"));
  EXPECT_EQ(index.Size(), 0u);
}

TEST(ReadIndexSave, KeepsTheMarksAnotherWindowSavedAndTakesBackOnlyOwnUnmarks) {
  TempDir dir;
  const std::string store = dir / "news.rss";
  test::WriteBytes(dir.path() / "news.RMCRC32", "k1\r\nk2\r\n");
  KeyIndex one, oneBase, two, twoBase;
  one.Load(ReadIndexName(store));
  oneBase = one;
  two = one;
  twoBase = one;
  one.Add("k3");     // read in the first window
  one.Remove("k1");  // and marked unread there
  two.Add("k4");
  two.Remove("k2");
  SaveReadIndexLocked(store, one, oneBase);
  SaveReadIndexLocked(store, two, twoBase);
  EXPECT_EQ(test::ReadBytes(dir.path() / "news.RMCRC32"), "k3\r\nk4\r\n");
  EXPECT_EQ(two.Keys(), (std::vector<std::string>{"k3", "k4"}));
  EXPECT_EQ(twoBase.Keys(), two.Keys());
}

TEST(IndexNames, ReplaceTheExtensionOfTheFileNameOnly) {
  EXPECT_EQ(StoreIndexName("/data/news.rss"), "/data/news.BCRC32");
  EXPECT_EQ(StoreIndexName("/data/news"), "/data/news.BCRC32");
  EXPECT_EQ(ReadIndexName("/data.d/news"), "/data.d/news.RMCRC32");
  EXPECT_EQ(StoreIndexName("/data/a.b.rss"), "/data/a.b.BCRC32");
  EXPECT_EQ(StoreIndexName("/data/.rss"), "/data/.BCRC32");
}

}  // namespace
}  // namespace vorlin
