// Small helpers shared by the test binaries.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "util/cp1251.h"
#include "util/progress.h"

namespace vorlin::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vorlin-test-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // A file name inside the folder, as core (Windows-1251) text.
  std::string Name(const std::string& utf8) const { return Utf8ToCp1251((path_ / utf8).string()); }
  // The folder as a core name with a trailing "/" (the temporary folder is plain ASCII).
  std::string Folder() const { return path_.string() + "/"; }
  std::string operator/(const std::string& name) const { return Folder() + name; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Records every status text, converted to UTF-8 for readable assertions.
class RecordingProgress final : public Progress {
 public:
  void ShowStatusText(const std::string& text) override { texts.push_back(Cp1251ToUtf8(text)); }
  std::vector<std::string> texts;
};

}  // namespace vorlin::test
