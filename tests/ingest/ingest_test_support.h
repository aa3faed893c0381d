// Helpers of the ingestion tests: whole-file access by core name and small feeds.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "ingest/ingestion_run.h"
#include "store/store_loader.h"
#include "test_support.h"

namespace vorlin::testing {

using test::ErrorText;
using test::RecordingProgress;
using test::TempDir;
inline void WriteFile(const std::string& path, const std::string& bytes) {
  test::WriteBytes(path, bytes);
}
inline std::string ReadFile(const std::string& path) { return test::ReadBytes(path); }
inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// An RSS 2.0 feed in UTF-8 around the given channel children.
inline std::string Feed(const std::string& channelTitle, const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\">\n<channel>\n<title>" +
         channelTitle + "</title>\n" + body + "</channel>\n</rss>\n";
}

inline std::string Item(const std::string& title, const std::string& description,
                        const std::string& pubDate = "Mon, 30 Nov 2026 09:00:00 GMT") {
  return "<item>\n<title>" + title + "</title>\n<link>https://example.org/" + title +
         "</link>\n<description>" + description + "</description>\n<pubDate>" + pubDate +
         "</pubDate>\n</item>\n";
}

// The store as the window loads it.
inline MessageList LoadedStore(const std::string& store) {
  MessageList list;
  NullProgress progress;
  LoadStore(store, list, progress);
  return list;
}

// Runs over the scan folder feeds/ into store.rss of a fresh folder, with the log kept as UTF-8
// lines and the clock and time stamp fixed.
class IngestRunTest : public ::testing::Test {
 protected:
  IngestRunTest() {
    options_.storeName = dir_ / "store.rss";
    options_.scanFolders = {dir_ / "feeds"};
    std::filesystem::create_directory(dir_ / "feeds");
  }
  IngestEnv Env() {
    log_.clear();
    IngestEnv env{index_, [this](const std::string& l) { log_.push_back(Cp1251ToUtf8(l)); },
                  progress_};
    env.timeStamp = [] { return std::string("06.12.2026 21:00:00"); };
    env.now = [] { return std::time_t{1796000000}; };
    return env;
  }
  std::string Feeds(const std::string& name) { return dir_ / ("feeds/" + name); }

  TempDir dir_;
  IngestOptions options_;
  KeyIndex index_;
  NullProgress progress_;
  std::vector<std::string> log_;
};

}  // namespace vorlin::testing
