// Small helpers of the ingestion tests: a temporary folder, whole-file access, recorders.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "util/cp1251.h"
#include "util/progress.h"

namespace vorlin::testing {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vorlin-ingest-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder as a core name with a trailing "/" (the temporary folder is plain ASCII).
  std::string Folder() const { return path_.string() + "/"; }
  std::string operator/(const std::string& name) const { return Folder() + name; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Status texts as UTF-8, in order.
class RecordingProgress final : public Progress {
 public:
  void ShowStatusText(const std::string& text) override { texts.push_back(Cp1251ToUtf8(text)); }
  std::vector<std::string> texts;
};

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
