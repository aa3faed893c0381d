// The feed server of feed_server.py, started on 127.0.0.1 for the duration of a test.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace vorlin::test {

class FeedServer {
 public:
  // With `ftpRoot`, an anonymous FTP server on that folder runs beside the HTTP server.
  explicit FeedServer(const std::string& ftpRoot = "") {
    // Nothing of the tests may go through a proxy.
    for (const char* name : {"http_proxy", "https_proxy", "ftp_proxy", "all_proxy", "HTTP_PROXY",
                             "HTTPS_PROXY", "FTP_PROXY", "ALL_PROXY"}) {
      ::unsetenv(name);
    }
    int out[2];
    if (::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      const int quiet = ::open("/dev/null", O_WRONLY);
      ::dup2(quiet, STDERR_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      // pyftpdlib comes from Debian's python3; prefer it over any other python3 on the path.
      const char* python = ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
      if (ftpRoot.empty()) {
        ::execlp(python, python, VORLIN_FEED_SERVER, nullptr);
      } else {
        ::execlp(python, python, VORLIN_FEED_SERVER, "--ftp", ftpRoot.c_str(), nullptr);
      }
      ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    const size_t wanted = ftpRoot.empty() ? 1 : 2;
    // Bounded: the server prints its ports at once or not at all.
    for (int i = 0; i < 100 && Count(text, '\n') < wanted; ++i) {
      pollfd p{out[0], POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buf[256];
      const ssize_t n = ::read(out[0], buf, sizeof buf);
      if (n <= 0) break;
      text.append(buf, static_cast<size_t>(n));
    }
    ::close(out[0]);
    std::sscanf(text.c_str(), "http %d\nftp %d", &port_, &ftpPort_);
  }

  ~FeedServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  bool Up() const { return port_ > 0; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::string FtpUrl(const std::string& path) const {
    return "ftp://127.0.0.1:" + std::to_string(ftpPort_) + path;
  }
  int port() const { return port_; }

 private:
  static size_t Count(const std::string& s, char c) {
    size_t n = 0;
    for (char x : s) n += x == c;
    return n;
  }

  pid_t pid_ = -1;
  int port_ = 0;
  int ftpPort_ = 0;
};

}  // namespace vorlin::test
