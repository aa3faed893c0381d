// A file renamed into place must have reached the disk first: after a power cut the new name
// would otherwise hold an empty or half-written file. This binary puts its own fsync and rename
// in front of the C library's and checks, while a test watches, that every file renamed was
// flushed before.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <set>
#include <utility>

#include "store/store_format.h"
#include "store/store_loader.h"
#include "store/store_replace.h"
#include "test_support.h"
#include "util/file_io.h"

namespace {

using FileKey = std::pair<dev_t, ino_t>;

bool watching = false;
std::set<FileKey> flushed;
int renames = 0;
std::vector<std::string> unflushed;

void NoteFlush(int fd) {
  struct stat st;
  if (watching && ::fstat(fd, &st) == 0) flushed.insert({st.st_dev, st.st_ino});
}

void NoteRename(int dirFd, const char* from) {
  if (!watching) return;
  struct stat st;
  if (::fstatat(dirFd, from, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  ++renames;
  if (!flushed.count({st.st_dev, st.st_ino})) unflushed.push_back(from);
}

}  // namespace

extern "C" {
int fsync(int fd) {
  NoteFlush(fd);
  return static_cast<int>(::syscall(SYS_fsync, fd));
}
int fdatasync(int fd) {
  NoteFlush(fd);
  return static_cast<int>(::syscall(SYS_fdatasync, fd));
}
int rename(const char* from, const char* to) {
  NoteRename(AT_FDCWD, from);
  return static_cast<int>(::syscall(SYS_rename, from, to));
}
int renameat(int fromDir, const char* from, int toDir, const char* to) {
  NoteRename(fromDir, from);
  return static_cast<int>(::syscall(SYS_renameat, fromDir, from, toDir, to));
}
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  NoteRename(fromDir, from);
  return static_cast<int>(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}
}

namespace vorlin {
namespace {

class Durability : public ::testing::Test {
 protected:
  void SetUp() override {
    flushed.clear();
    unflushed.clear();
    renames = 0;
    watching = true;
  }
  void TearDown() override { watching = false; }
  test::TempDir dir_;
};

TEST_F(Durability, RewrittenFilesAndTheReplacedStoreAreFlushedBeforeTheirRename) {
  const std::string store = dir_ / "news.rss";
  std::string bytes;
  for (const char* t : {"a", "b", "c"})
    WriteItemBlock(bytes, {"C", t, "http://x/", "d", "p"}, false);
  test::WriteBytes(store, NormaliseLineBreaks(bytes));
  WriteFileAtomic(dir_ / "settings.txt", "key=value\r\n");

  MessageList list;
  NullProgress null;
  LoadStore(store, list, null);
  ReplaceStoreWithout(store, list, {1}, StampStore(store, test::ReadBytes(store).size()));

  EXPECT_GE(renames, 2);
  EXPECT_TRUE(unflushed.empty()) << "renamed before it was flushed: " << unflushed.front();
}

}  // namespace
}  // namespace vorlin
