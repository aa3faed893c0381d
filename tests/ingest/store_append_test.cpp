// Appending to the store: the same bytes as rewriting it whole, and all or nothing on failure.
#include "ingest/store_append.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include "ingest/ingestion_run.h"
#include "ingest_test_support.h"
#include "store/crc32.h"
#include "util/file_io.h"

namespace vorlin::testing {
namespace {

// The store as a whole rewrite leaves it: the old lines, then the new text, split at any line
// break and written back line by line with CR LF.
std::string Rewritten(const std::string& old, const std::string& added) {
  return JoinLines(SplitLines(JoinLines(SplitLines(old)) + added));
}

TEST(StoreAppendTest, GivesTheBytesOfAWholeRewriteForStoresThisProgramWrote) {
  const std::string block =
      "<item>\r\n<titleRss><![CDATA[c]]></titleRss>\r\n<title><![CDATA[t]]></title>\r\n"
      "<link><![CDATA[l]]></link>\r\n<description><![CDATA[one\ntwo\rthree\r\n]]></description>"
      "\r\n<pubDate><![CDATA[p]]></pubDate>\r\n</item>\r\n";
  const std::string written = JoinLines(SplitLines(block));  // as the store holds it
  TempDir dir;
  for (const std::string& old : {std::string(), written, written + written}) {
    for (const std::string& added : {std::string(), block, block + block}) {
      const std::string store = dir / "s.rss";
      WriteFile(store, old);
      AppendToStore(store, added);
      EXPECT_EQ(ReadFile(store), Rewritten(old, added));
    }
  }
  // A missing store is created; a store without a final line end gets one first.
  AppendToStore(dir / "new.rss", "");
  EXPECT_TRUE(Exists(dir / "new.rss"));
  EXPECT_EQ(ReadFile(dir / "new.rss"), "");
  WriteFile(dir / "cut.rss", "<item>");
  AppendToStore(dir / "cut.rss", "<item>\n");
  EXPECT_EQ(ReadFile(dir / "cut.rss"), "<item>\r\n<item>\r\n");
}

// A small file system that fills up in the middle of the write.
class FullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mountPoint_ = dir_ / "small";
    std::filesystem::create_directory(mountPoint_);
    if (::mount("tmpfs", mountPoint_.c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount a small tmpfs here";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount(mountPoint_.c_str());
  }
  TempDir dir_;
  std::string mountPoint_;
  bool mounted_ = false;
};

TEST_F(FullDiskTest, AFailedWriteCutsTheStoreBackAndKeepsIndexAndSources) {
  const std::string store = mountPoint_ + "/store.rss";
  const std::string old(40000, 'o');
  WriteFile(store, old + "\r\n");
  WriteFile(mountPoint_ + "/store.BCRC32", MessageKey("old") + "\r\n");
  std::string items;
  for (int i = 0; i < 60; ++i) {
    items += Item("t" + std::to_string(i), std::string(500, 'd') + std::to_string(i));
  }
  WriteFile(dir_ / "feeds/big.xml", Feed("C", items));

  KeyIndex index;
  index.Add(MessageKey("old"));
  IngestOptions options;
  options.storeName = store;
  options.scanFolders = {dir_ / "feeds"};
  options.deleteProcessed = true;
  NullProgress progress;
  IngestEnv env{index, nullptr, progress, {}};
  EXPECT_NE(ErrorText([&] { RunOneShotIngestion(options, env); }).find("No space left"),
            std::string::npos);
  EXPECT_EQ(ReadFile(store), old + "\r\n");
  EXPECT_EQ(ReadFile(mountPoint_ + "/store.BCRC32"), MessageKey("old") + "\r\n");
  EXPECT_TRUE(Exists(dir_ / "feeds/big.xml"));
  EXPECT_EQ(index.Size(), 1u);
}

}  // namespace
}  // namespace vorlin::testing
