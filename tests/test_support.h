// Small helpers shared by the test binaries.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "util/cp1251.h"
#include "util/file_io.h"
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

// Writes the file whole, making its folders first.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The message of the error the call throws, or "no error" when it returns.
template <typename E = Error, typename F>
std::string ErrorText(F&& call) {
  try {
    call();
  } catch (const E& e) {
    return e.what();
  }
  return "no error";
}

// Records every status text, converted to UTF-8 for readable assertions.
class RecordingProgress final : public Progress {
 public:
  void ShowStatusText(const std::string& text) override { texts.push_back(Cp1251ToUtf8(text)); }
  std::vector<std::string> texts;
};

// One run of vorlin-cli, the arguments given as shell words: exit status, stdout, stderr.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline CliRun RunCli(const std::string& args) {
  TempDir dir;
  const std::string command =
      std::string(VORLIN_CLI) + " " + args + " >" + dir / "out" + " 2>" + dir / "err";
  const int rc = std::system(command.c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadBytes(dir.path() / "out"),
          ReadBytes(dir.path() / "err")};
}

}  // namespace vorlin::test
