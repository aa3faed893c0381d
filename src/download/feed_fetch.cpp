#include "download/feed_fetch.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <mutex>

#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

using SteadyClock = std::chrono::steady_clock;

const char* const kProtocols = "http,https,ftp,ftps";

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool SchemeChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

bool EntryExists(const std::string& name) {
  struct stat st {};
  return ::lstat(FsPath(name).c_str(), &st) == 0;
}

// The state of one transfer, shared with libcurl's callbacks.
struct Transfer {
  int fd = -1;
  int64_t bytes = 0;
  int64_t maxBytes = 0;
  bool tooBig = false;
  int writeErrno = 0;
  SteadyClock::time_point lastActivity;
  Progress* progress = nullptr;
  std::string textHead;  // "Download "
  std::string textTail;  // " byte, file from URL  to FILE"
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t length = size * count;
  t.lastActivity = SteadyClock::now();
  if (t.bytes + static_cast<int64_t>(length) > t.maxBytes) {
    t.tooBig = true;
    return 0;
  }
  size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(t.fd, data + done, length - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      t.writeErrno = errno;
      return 0;
    }
    done += static_cast<size_t>(n);
  }
  t.bytes += static_cast<int64_t>(length);
  t.progress->ShowStatusText(t.textHead + std::to_string(t.bytes) + t.textTail);
  return length;
}

size_t HeaderSeen(char*, size_t size, size_t count, void* user) {
  static_cast<Transfer*>(user)->lastActivity = SteadyClock::now();
  return size * count;
}

struct EasyHandle {
  CURL* easy = curl_easy_init();
  curl_slist* headers = nullptr;
  ~EasyHandle() {
    if (easy != nullptr) curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
  }
};

}  // namespace

std::string FeedFileStem(std::string_view url) {
  for (;;) {
    const size_t sep = url.find("://");
    if (sep == std::string_view::npos || sep == 0 ||
        !std::all_of(url.begin(), url.begin() + static_cast<long>(sep), SchemeChar)) {
      break;
    }
    url.remove_prefix(sep + 3);
  }
  return std::string(url.substr(0, url.find('/') == std::string_view::npos ? 0 : url.find('/')));
}

std::string InFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  return path + std::string(name);
}

int FreeFeedNumber(std::string_view folder, std::string_view stem) {
  const std::string base = InFolder(folder, stem) + "_";
  for (int n = 1;; ++n) {
    const std::string number = std::to_string(n);
    if (!EntryExists(base + number + ".xml") && !EntryExists(base + number + ".tmp")) return n;
  }
}

FeedFetcher::FeedFetcher(FetchLimits limits, const std::atomic<bool>* abort)
    : limits_(limits), abort_(abort) {
  GlobalInit();
  multi_ = curl_multi_init();
}

FeedFetcher::~FeedFetcher() {
  if (multi_ != nullptr) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

int64_t FeedFetcher::FetchUrlToFile(const std::string& url, const std::string& fileName,
                                    Progress& progress) {
  lastError_.clear();
  progress.ShowStatusText("Start Download ");
  EasyHandle h;
  CURLM* multi = static_cast<CURLM*>(multi_);
  if (h.easy == nullptr || multi == nullptr) {
    lastError_ = "libcurl cannot start";
    progress.ShowStatusText(W("Internet Open  Error! Нет доступа к сети!"));
    return 0;
  }

  const std::string path = FsPath(fileName).string();
  Transfer t;
  t.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (t.fd < 0) throw Error("Cannot create file " + path + ": " + ErrnoText(errno));
  t.maxBytes = limits_.maxBytes;
  t.lastActivity = SteadyClock::now();
  t.progress = &progress;
  t.textHead = "Download ";
  t.textTail = " byte, file from " + url + " " + " to " + fileName;

  char errorText[CURL_ERROR_SIZE] = {};
  h.headers = curl_slist_append(h.headers, "Cache-Control: no-cache");
  h.headers = curl_slist_append(h.headers, "Pragma: no-cache");
  CURL* e = h.easy;
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, kProtocols);
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, limits_.maxRedirects);
  curl_easy_setopt(e, CURLOPT_USERAGENT, "Rss Download");
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, h.headers);
  curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeout.count()));
  curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.totalTimeout.count()));
  curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBytes));
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HeaderSeen);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);

  curl_multi_add_handle(multi, e);
  const int pollMs = static_cast<int>(std::clamp<long long>(
      std::min(limits_.stallTimeout, limits_.connectTimeout).count() / 4, 1, 100));
  CURLcode result = CURLE_OK;
  bool done = false;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      lastError_ = "libcurl failed";
      break;
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == e) {
        result = msg->data.result;
        done = true;
      }
    }
    if (done) break;
    if (abort_ != nullptr && abort_->load()) {
      lastError_ = "cancelled";
      break;
    }
    if (SteadyClock::now() - t.lastActivity > limits_.stallTimeout) {
      lastError_ =
          "the server sent nothing for " + std::to_string(limits_.stallTimeout.count()) + " ms";
      break;
    }
    curl_multi_poll(multi, nullptr, 0, pollMs, nullptr);
  }
  curl_multi_remove_handle(multi, e);
  ::close(t.fd);

  if (done && result != CURLE_OK) {
    if (t.tooBig || result == CURLE_FILESIZE_EXCEEDED) {
      lastError_ = "the body is larger than " + std::to_string(limits_.maxBytes) + " bytes";
    } else {
      lastError_ = errorText[0] != '\0' ? errorText : curl_easy_strerror(result);
    }
  } else if (done && t.bytes == 0) {
    lastError_ = "empty response";
  }
  if (lastError_.empty() && done) return t.bytes;

  ::unlink(path.c_str());
  if (t.writeErrno != 0) {
    throw Error("Cannot write file " + path + ": " + ErrnoText(t.writeErrno));
  }
  if (t.bytes == 0) {
    progress.ShowStatusText(W("Internet Open URL Error! Неправильный URL! ") + url);
  } else {
    progress.ShowStatusText(W("Ошибка загрузки (Download error) ") + url + ": " +
                            Utf8ToCp1251(lastError_));
  }
  return 0;
}

bool FeedFetcher::DownloadFeedToFolder(const std::string& url, const std::string& folder,
                                       Progress& progress) {
  lastFile_.clear();
  if (folder.empty()) {
    throw Error(
        "No download folder: choose the folder for downloaded files with the \"?\" button "
        "beside \"Download folder\" on the downloads page");
  }
  const std::string stem = FeedFileStem(url);
  const std::string base = InFolder(folder, stem) + "_";
  const std::string number = std::to_string(FreeFeedNumber(folder, stem));
  const std::string temporary = base + number + ".tmp";
  const std::string finalName = base + number + ".xml";
  if (FetchUrlToFile(url, temporary, progress) <= 0) return false;
  const std::string from = FsPath(temporary).string();
  const std::string to = FsPath(finalName).string();
  int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // A file system without the no-replace rename: a hard link fails on an existing name too.
    rc = ::link(from.c_str(), to.c_str());
    if (rc == 0) ::unlink(from.c_str());
  }
  if (rc != 0) {
    lastError_ = "cannot rename " + from + " to " + to + ": " + ErrnoText(errno);
    return false;
  }
  lastFile_ = finalName;
  return true;
}

}  // namespace vorlin
