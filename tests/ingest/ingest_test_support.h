// Helpers of the ingestion tests: whole-file access by core name and small feeds.
#pragma once

#include <filesystem>
#include <string>

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

}  // namespace vorlin::testing
