// Removing messages from the store: what stays, what is refused, and a kill at any point.
#include "store/store_replace.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "store/store_format.h"
#include "store/store_loader.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

using test::ErrorText;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Blocks(std::initializer_list<const char*> titles) {
  std::string out;
  for (const char* t : titles) WriteItemBlock(out, {"C", t, "http://x/", "d\nline", "p"}, false);
  return NormaliseLineBreaks(out);
}

class StoreReplace : public ::testing::Test {
 protected:
  // Writes the store, loads it, and stamps what was loaded.
  void Load(const std::string& bytes) {
    WriteBytes(store_, bytes);
    LoadStore(store_, list_, null_);
    stamp_ = StampStore(store_, bytes.size());
  }
  std::vector<std::string> Titles() {
    MessageList list;
    LoadStore(store_, list, null_);
    return list.title.Strings();
  }
  bool Leftovers() const {
    return std::filesystem::exists(BackupStoreName(store_)) ||
           std::filesystem::exists(TemporaryStoreName(store_));
  }
  TempDir dir_;
  std::string store_ = dir_ / "news.rss";
  MessageList list_;
  StoreStamp stamp_;
  NullProgress null_;
};

TEST_F(StoreReplace, KeepsTheOtherMessagesAndWhatWasAppendedSinceTheLoad) {
  Load(Blocks({"a", "b", "c", "d"}));
  // Another process appends after the load: those messages are in no list, and must stay.
  WriteBytes(store_, ReadBytes(store_) + Blocks({"e"}));
  ReplaceStoreWithout(store_, list_, {1, 3, 3, 99}, stamp_);
  EXPECT_EQ(ReadBytes(store_), Blocks({"a", "c", "e"}));
  EXPECT_FALSE(Leftovers());

  Load(Blocks({"a", "b"}));
  ReplaceStoreWithout(store_, list_, {0, 1}, stamp_);
  EXPECT_EQ(ReadBytes(store_), "");
  EXPECT_FALSE(Leftovers());
}

TEST_F(StoreReplace, AStoreChangedOtherThanByAppendingIsLeftAlone) {
  const std::string original = Blocks({"a", "b"});
  for (const std::string& changed : {Blocks({"a"}), Blocks({"a", "x"}), std::string("garbage")}) {
    Load(original);
    WriteBytes(store_, changed);
    EXPECT_NE(ErrorText([&] {
                ReplaceStoreWithout(store_, list_, {0}, stamp_);
              }).find("changed since it was loaded"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(store_), changed);
  }
  // The same bytes in another file renamed over the name (as a second removal from the same
  // list would find): not the file the list was read from.
  Load(original);
  WriteBytes(dir_ / "other.rss", original);
  std::filesystem::rename(dir_ / "other.rss", store_);
  EXPECT_NE(ErrorText([&] {
              ReplaceStoreWithout(store_, list_, {0}, stamp_);
            }).find("changed since it was loaded"),
            std::string::npos);
}

TEST_F(StoreReplace, NeverTouchesAFileItDidNotCreateAndKeepsALinkAndTheMode) {
  // The store name is a link: the file it leads to is replaced, and keeps its mode.
  const std::string real = dir_ / "real.rss";
  const auto privateMode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  store_ = dir_ / "link.rss";
  std::filesystem::create_symlink(real, store_);
  const std::string original = Blocks({"a", "b"});
  Load(original);
  std::filesystem::permissions(real, privateMode);
  // The user's file under the temporary name stays; the replacement takes another name.
  WriteBytes(TemporaryStoreName(store_), "mine");
  ReplaceStoreWithout(store_, list_, {0}, stamp_);
  EXPECT_EQ(Titles(), std::vector<std::string>{"b"});
  EXPECT_TRUE(std::filesystem::is_symlink(store_));
  EXPECT_EQ(std::filesystem::status(real).permissions(), privateMode);
  // A taken backup name is refused before anything is written.
  Load(original);
  WriteBytes(BackupStoreName(real), "mine too");
  EXPECT_EQ(ErrorText([&] {
              ReplaceStoreWithout(store_, list_, {0}, stamp_);
            }).rfind("Операция не завершена! Ошибка переноса файла!" + store_, 0),
            0u);
  EXPECT_EQ(ReadBytes(store_), original);
  EXPECT_EQ(ReadBytes(BackupStoreName(real)), "mine too");
  EXPECT_EQ(ReadBytes(TemporaryStoreName(store_)), "mine");
  EXPECT_FALSE(std::filesystem::exists(TemporaryStoreName(store_, 1)));
}

TEST_F(StoreReplace, AKillAtAnyStepLeavesAWholeStoreUnderItsName) {
  const std::string original = Blocks({"a", "b", "c"});
  for (ReplaceStep step :
       {ReplaceStep::kTemporaryWritten, ReplaceStep::kBackupMade, ReplaceStep::kStoreReplaced}) {
    Load(original);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ReplaceStoreWithout(store_, list_, {1}, stamp_, [step](ReplaceStep at) {
        if (at == step) ::kill(::getpid(), SIGKILL);
      });
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::vector<std::string> expected = step == ReplaceStep::kStoreReplaced
                                                  ? std::vector<std::string>{"a", "c"}
                                                  : std::vector<std::string>{"a", "b", "c"};
    EXPECT_EQ(Titles(), expected) << static_cast<int>(step);
    std::filesystem::remove(BackupStoreName(store_));
  }
}

}  // namespace
}  // namespace vorlin
