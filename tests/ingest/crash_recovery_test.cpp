// Killing a writer at any moment. `vorlin-cli ingest` is killed with SIGKILL at random moments
// of its run, and the files written at shutdown while they are being replaced; afterwards
// nothing may be lost, half-written or stored twice. VORLIN_CRASH_TRIALS sets the number of
// trials (bench/crash_bench.sh runs 200), VORLIN_CRASH_SEED the random seed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "ingest/ingestion_run.h"
#include "ingest_test_support.h"
#include "store/crc32.h"
#include "store/store_loader.h"
#include "store/store_lock.h"
#include "store/store_recovery.h"
#include "util/settings_file.h"

extern char** environ;

namespace vorlin::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int Trials(int fallback) {
  const char* v = std::getenv("VORLIN_CRASH_TRIALS");
  return v != nullptr ? std::atoi(v) : fallback;
}

std::mt19937 Random() {
  const char* v = std::getenv("VORLIN_CRASH_SEED");
  const unsigned seed = v != nullptr ? static_cast<unsigned>(std::atol(v)) : std::random_device()();
  std::printf("crash seed %u\n", seed);
  return std::mt19937(seed);
}

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A store of old messages and a scan folder of feeds: new items, items the store holds
// already, and byte-identical copies of feeds.
class IngestKillTest : public ::testing::Test {
 protected:
  IngestKillTest() {
    const std::string padding(900, 'x');
    for (int f = 0; f < 40; ++f) {
      std::string items;
      for (int i = 0; i < 15; ++i) {
        const std::string title = "t" + std::to_string(f * 100 + i);
        const std::string description = title + " " + padding;
        items += Item(title, description);
        fileKeys_[f].push_back(MessageKey(description));
        newTitles_[MessageKey(description)] = title;
      }
      WriteFile(base_ / ("feeds/f" + std::to_string(f) + ".xml"),
                Feed("C" + std::to_string(f % 4), items));
    }
    for (int f = 0; f < 5; ++f) {
      fs::copy_file(base_.path() / ("feeds/f" + std::to_string(f) + ".xml"),
                    base_.path() / ("feeds/g" + std::to_string(f) + ".xml"));
    }
    // The old store holds the first feed already.
    WriteFile(base_ / "old/f0.xml", ReadFile(base_ / "feeds/f0.xml"));
    IngestOptions options;
    options.storeName = base_ / "news.rss";
    options.scanFolders = {base_ / "old"};
    KeyIndex index;
    NullProgress progress;
    IngestEnv env{index, nullptr, progress};
    RunIngestion(options, env);
    old_ = ReadFile(base_ / "news.rss");
    oldCount_ = LoadedStore(base_ / "news.rss").Count();
  }

  // A copy of the store, its side files and the feeds in a fresh folder.
  void CopyBase(const TempDir& to) {
    fs::copy(base_.path(), to.path(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::remove_all(to.path() / "old");
  }

  pid_t StartIngest(const TempDir& at) {
    return Spawn({VORLIN_CLI, "--config-dir", at.Folder(), "ingest", "--store", at / "news.rss",
                  "--scan", at / "feeds", "--delete-processed", "--purge-dups", "--unique"});
  }

  TempDir base_;
  std::map<int, std::vector<std::string>> fileKeys_;  // feed number -> keys of its items
  std::map<std::string, std::string> newTitles_;      // key -> title, every item of the feeds
  std::string old_;
  int oldCount_ = 0;
};

TEST_F(IngestKillTest, AKilledRunLeavesAWholeStoreAndTheRerunAddsEveryItemOnce) {
  // How long a whole run takes, so that the kills spread over all of it.
  Clock::duration runTime;
  {
    TempDir calibrate;
    CopyBase(calibrate);
    const auto start = Clock::now();
    ASSERT_EQ(Wait(StartIngest(calibrate)), 0);
    runTime = Clock::now() - start;
  }
  std::mt19937 random = Random();
  std::uniform_int_distribution<long long> delay(
      0, std::chrono::duration_cast<std::chrono::microseconds>(runTime).count() * 11 / 10);
  std::map<std::string, int> outcomes;
  const int trials = Trials(12);
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    TempDir at;
    CopyBase(at);
    const std::string store = at / "news.rss";
    const pid_t pid = StartIngest(at);
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(pid, SIGKILL);
    const bool finished = Wait(pid) == 0;

    ASSERT_EQ(ReadFile(store).substr(0, old_.size()), old_);
    Recovery recovery;
    {
      StoreLock lock(store);  // as the next start-up or run does
      recovery = RecoverStore(store);
    }
    outcomes[finished                              ? "finished"
             : recovery == Recovery::kAppendCut    ? "append cut"
             : recovery == Recovery::kIndexRebuilt ? "index rebuilt"
                                                   : "nothing to mend"]++;

    // The store loads: the old messages, then whole new ones, none twice.
    SCOPED_TRACE("recovery " + std::to_string(static_cast<int>(recovery)) + ", finished " +
                 std::to_string(finished));
    const MessageList after = LoadedStore(store);
    std::set<std::string> keys;
    for (int i = 0; i < after.Count(); ++i) {
      const std::string key = MessageKey(after.description[i]);
      ASSERT_TRUE(keys.insert(key).second) << "stored twice: " << after.title[i];
      ASSERT_EQ(after.title[i], newTitles_.at(key));
    }
    ASSERT_GE(after.Count(), oldCount_);
    // No feed is gone whose items are not all stored (a deleted copy leaves its original).
    for (const auto& [feed, feedKeys] : fileKeys_) {
      if (fs::exists(at.path() / ("feeds/f" + std::to_string(feed) + ".xml"))) continue;
      for (const auto& key : feedKeys) ASSERT_TRUE(keys.count(key)) << "lost feed f" << feed;
    }
    // A rerun adds every missing item exactly once.
    ASSERT_EQ(Wait(StartIngest(at)), 0);
    const MessageList rerun = LoadedStore(store);
    ASSERT_EQ(rerun.Count(), static_cast<int>(newTitles_.size()));
    std::set<std::string> rerunKeys;
    for (const auto& d : rerun.description.Strings()) rerunKeys.insert(MessageKey(d));
    ASSERT_EQ(rerunKeys.size(), newTitles_.size());
    ASSERT_EQ(ReadFile(store).substr(0, old_.size()), old_);
  }
  std::printf("kills:");
  for (const auto& [what, count] : outcomes) std::printf(" %s %d;", what.c_str(), count);
  std::printf("\n");
}

// The files written at shutdown are replaced whole: a writer killed at any moment leaves
// each of them either as it was or as it was to become.
TEST(ShutdownFilesKillTest, EachFileIsTheOldOrTheNewAfterAKill) {
  TempDir dir;
  const std::string dirList = dir / "DirRss.txt", settings = dir / "OpsRss.txt",
                    storeIndex = dir / "news.BCRC32";
  // Two versions of each file, large enough that a write takes a while.
  auto write = [&](int version) {
    std::vector<std::string> folders;
    SettingsFile ops;
    KeyIndex index;
    for (int i = 0; i < 20000; ++i) {
      folders.push_back("/feeds/" + std::to_string(version) + "/" + std::to_string(i));
      ops.Set("Key" + std::to_string(i) + ".Text", std::to_string(version));
      index.Add(MessageKey(std::to_string(i * 2 + version)));
    }
    WriteFileAtomic(dirList, JoinLines(folders));
    ops.Save(settings);
    index.Save(storeIndex);
  };
  std::map<std::string, std::set<std::string>> versions;
  for (int version : {0, 1}) {
    write(version);
    for (const auto& f : {dirList, settings, storeIndex}) versions[f].insert(ReadFile(f));
  }
  std::mt19937 random = Random();
  std::uniform_int_distribution<int> delay(0, 60000);
  for (int trial = 0; trial < Trials(20); ++trial) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0;; ++i) write(i % 2);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(pid, SIGKILL);
    Wait(pid);
    for (const auto& f : {dirList, settings, storeIndex}) {
      ASSERT_TRUE(versions[f].count(ReadFile(f))) << f << " is half written, trial " << trial;
    }
  }
}

}  // namespace
}  // namespace vorlin::testing
