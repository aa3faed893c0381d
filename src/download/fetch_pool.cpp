#include "download/fetch_pool.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <stdio.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

#include "download/feed_fetch.h"
#include "download/url_text.h"
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

// The value of header line `line` when it is header `name` (case-insensitive), trimmed.
bool HeaderValue(std::string_view line, std::string_view name, std::string& value) {
  if (line.size() <= name.size() || line[name.size()] != ':' ||
      ::strncasecmp(line.data(), name.data(), name.size()) != 0) {
    return false;
  }
  line.remove_prefix(name.size() + 1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.remove_suffix(1);
  value = std::string(line);
  return true;
}

// Moves `from` to `to`, failing when `to` exists.
int RenameNoReplace(const std::string& from, const std::string& to) {
  int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // A file system without the no-replace rename: a hard link fails on an existing name too.
    rc = ::link(from.c_str(), to.c_str());
    if (rc == 0) ::unlink(from.c_str());
  }
  return rc;
}

}  // namespace

struct FetchPool::Transfer {
  FetchRequest request;
  Progress* progress = nullptr;
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  int fd = -1;
  std::string path;       // the file written, as the file system names it
  std::string fileName;   // the same, as core text
  std::string finalName;  // the name it gets once complete, when fetched into a folder
  int64_t bytes = 0;      // of the stored body
  int64_t moved = 0;      // headers and body as received, for the low-speed limit
  int64_t maxBytes = 0;
  bool tooBig = false;
  int writeErrno = 0;
  SteadyClock::time_point windowStart;
  int64_t windowMoved = 0;
  Validators received;
  std::string textTail;  // " byte, file from URL  to FILE"
  char errorText[CURL_ERROR_SIZE] = {};

  ~Transfer() {
    if (easy != nullptr) curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
    if (fd >= 0) ::close(fd);
  }
};

namespace {

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<FetchPool::Transfer*>(user);
  const size_t length = size * count;
  t.moved += static_cast<int64_t>(length);
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
  t.progress->ShowStatusText("Download " + std::to_string(t.bytes) + t.textTail);
  return length;
}

size_t HeaderSeen(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<FetchPool::Transfer*>(user);
  const size_t length = size * count;
  t.moved += static_cast<int64_t>(length);
  const std::string_view line(data, length);
  // Each response of a redirect chain starts with its status line; only the last one counts.
  if (line.rfind("HTTP/", 0) == 0) t.received = {};
  HeaderValue(line, "ETag", t.received.etag) ||
      HeaderValue(line, "Last-Modified", t.received.lastModified);
  return length;
}

}  // namespace

FetchPool::FetchPool(FetchLimits limits, const std::atomic<int>* abort)
    : limits_(limits), abort_(abort), abortSeen_(abort != nullptr ? abort->load() : 0) {
  GlobalInit();
  multi_ = curl_multi_init();
  if (multi_ != nullptr) {
    // Finished connections are kept for the next transfers of a batch.
    curl_multi_setopt(static_cast<CURLM*>(multi_), CURLMOPT_MAXCONNECTS, 32L);
  }
}

FetchPool::~FetchPool() {
  for (auto& t : transfers_) {
    curl_multi_remove_handle(static_cast<CURLM*>(multi_), t->easy);
    ::close(t->fd);
    t->fd = -1;
    ::unlink(t->path.c_str());
  }
  transfers_.clear();
  if (multi_ != nullptr) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void FetchPool::Wakeup() {
  if (multi_ != nullptr) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void FetchPool::Start(FetchRequest request, Progress& progress) {
  progress.ShowStatusText("Start Download ");
  auto t = std::make_unique<Transfer>();
  t->request = std::move(request);
  t->progress = &progress;
  const std::string& url = t->request.url;
  t->easy = curl_easy_init();
  if (t->easy == nullptr || multi_ == nullptr) {
    progress.ShowStatusText(W("Internet Open  Error! Нет доступа к сети!"));
    early_.push_back(FetchResult::Of(t->request.id, FetchStatus::kFailed, "libcurl cannot start"));
    return;
  }
  std::string wireUrl;
  std::string urlError;
  if (!RequestUrl(url, wireUrl, urlError)) {
    progress.ShowStatusText(W("Internet Open URL Error! Неправильный URL! ") + url);
    early_.push_back(FetchResult::Of(t->request.id, FetchStatus::kFailed, urlError));
    return;
  }

  // The file first: a folder that cannot take it ends the batch before anything is sent.
  if (!t->request.folder.empty()) {
    const std::string stem = FeedFileBase(url);
    const std::string base = InFolder(t->request.folder, stem) + "_";
    // A batch of one host's feeds would look at every number taken before: go on from the
    // last one this pool took in that folder.
    int& next = nextNumber_[base];
    int number = FreeFeedNumber(t->request.folder, stem, next);
    for (;; ++number) {
      t->fileName = base + std::to_string(number) + ".tmp";
      t->path = FsPath(t->fileName).string();
      t->fd = ::open(t->path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      // Another process took the number meanwhile: try the next one.
      if (t->fd >= 0 || errno != EEXIST) break;
    }
    t->finalName = base + std::to_string(number) + ".xml";
    next = number + 1;
  } else {
    t->fileName = t->request.fileName;
    t->path = FsPath(t->fileName).string();
    t->fd = ::open(t->path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  }
  if (t->fd < 0) {
    early_.push_back(FetchResult::Of(t->request.id, FetchStatus::kFileError,
                                     "Cannot create file " + t->path + ": " + ErrnoText(errno)));
    return;
  }
  t->maxBytes = limits_.maxBytes;
  t->windowStart = SteadyClock::now();
  t->textTail = " byte, file from " + url + " " + " to " + t->fileName;

  t->headers = curl_slist_append(t->headers, "Cache-Control: no-cache");
  t->headers = curl_slist_append(t->headers, "Pragma: no-cache");
  const Validators& v = t->request.validators;
  if (!v.etag.empty()) {
    t->headers = curl_slist_append(t->headers, ("If-None-Match: " + v.etag).c_str());
  }
  if (!v.lastModified.empty()) {
    t->headers = curl_slist_append(t->headers, ("If-Modified-Since: " + v.lastModified).c_str());
  }
  CURL* e = t->easy;
  curl_easy_setopt(e, CURLOPT_URL, wireUrl.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, kProtocols);
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, limits_.maxRedirects);
  curl_easy_setopt(e, CURLOPT_USERAGENT, "Rss Download");
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, t->headers);
  // Every encoding this libcurl decodes (gzip, deflate, brotli, zstd).
  curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeout.count()));
  curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.totalTimeout.count()));
  curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBytes));
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t->errorText);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HeaderSeen);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, t.get());
  curl_easy_setopt(e, CURLOPT_PRIVATE, t.get());
  curl_multi_add_handle(static_cast<CURLM*>(multi_), e);
  transfers_.push_back(std::move(t));
}

void FetchPool::Fail(Transfer& t, FetchStatus status, std::string reason,
                     std::vector<FetchResult>& out) {
  ::close(t.fd);
  t.fd = -1;
  ::unlink(t.path.c_str());
  if (status == FetchStatus::kFailed) {
    if (t.bytes == 0) {
      t.progress->ShowStatusText(W("Internet Open URL Error! Неправильный URL! ") + t.request.url);
    } else {
      t.progress->ShowStatusText(W("Ошибка загрузки (Download error) ") + t.request.url + ": " +
                                 Utf8ToCp1251(reason));
    }
  }
  out.push_back(FetchResult::Of(t.request.id, status, std::move(reason)));
}

void FetchPool::Finish(Transfer& t, int curlResult, std::vector<FetchResult>& out) {
  const auto result = static_cast<CURLcode>(curlResult);
  if (t.writeErrno != 0) {
    return Fail(t, FetchStatus::kFileError,
                "Cannot write file " + t.path + ": " + ErrnoText(t.writeErrno), out);
  }
  if (result != CURLE_OK) {
    if (t.tooBig || result == CURLE_FILESIZE_EXCEEDED) {
      return Fail(t, FetchStatus::kFailed,
                  "the body is larger than " + std::to_string(limits_.maxBytes) + " bytes", out);
    }
    return Fail(t, FetchStatus::kFailed,
                t.errorText[0] != '\0' ? t.errorText : curl_easy_strerror(result), out);
  }
  long code = 0;
  curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &code);
  if (code == 304) {
    if (t.request.validators.Empty()) {
      return Fail(t, FetchStatus::kFailed, "\"not modified\" to a request without validators", out);
    }
    ::close(t.fd);
    t.fd = -1;
    ::unlink(t.path.c_str());
    out.push_back(FetchResult::Of(t.request.id, FetchStatus::kNotModified));
    return;
  }
  if (t.bytes == 0) return Fail(t, FetchStatus::kFailed, "empty response", out);
  if (::close(t.fd) != 0) {
    t.fd = -1;
    return Fail(t, FetchStatus::kFileError, "Cannot write file " + t.path + ": " + ErrnoText(errno),
                out);
  }
  t.fd = -1;
  std::string stored = t.fileName;
  if (!t.finalName.empty()) {
    const std::string to = FsPath(t.finalName).string();
    if (RenameNoReplace(t.path, to) != 0) {
      // The filled temporary file stays, and keeps its number taken.
      out.push_back(
          FetchResult::Of(t.request.id, FetchStatus::kFailed,
                          "cannot rename " + t.path + " to " + to + ": " + ErrnoText(errno)));
      return;
    }
    stored = t.finalName;
  }
  FetchResult done = FetchResult::Of(t.request.id, FetchStatus::kStored);
  done.file = stored;
  done.bytes = t.bytes;
  done.validators = t.received;
  out.push_back(std::move(done));
}

std::vector<FetchResult> FetchPool::Perform(int waitMs) {
  std::vector<FetchResult> out = std::move(early_);
  early_.clear();
  CURLM* multi = static_cast<CURLM*>(multi_);
  if (multi == nullptr) return out;
  if (out.empty()) {
    // While transfers run, the limits and the abort counter are looked at ten times a second.
    const int wait = transfers_.empty() ? waitMs : std::min(waitMs, 100);
    curl_multi_poll(multi, nullptr, 0, wait, nullptr);
  }
  int running = 0;
  curl_multi_perform(multi, &running);
  int queued = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
    if (msg->msg != CURLMSG_DONE) continue;
    Transfer* done = nullptr;
    curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char**>(&done));
    const CURLcode result = msg->data.result;
    curl_multi_remove_handle(multi, msg->easy_handle);
    Finish(*done, result, out);
    transfers_.remove_if([done](const auto& t) { return t.get() == done; });
  }

  const bool abort = abort_ != nullptr && abort_->load() != abortSeen_;
  if (abort) abortSeen_ = abort_->load();
  const auto now = SteadyClock::now();
  for (auto it = transfers_.begin(); it != transfers_.end();) {
    Transfer& t = **it;
    std::string reason;
    if (abort) {
      reason = "cancelled";
    } else if (now - t.windowStart >= limits_.lowSpeedTime) {
      if (t.moved - t.windowMoved < limits_.lowSpeedBytes) {
        reason = "the server sent fewer than " + std::to_string(limits_.lowSpeedBytes) +
                 " bytes in " + std::to_string(limits_.lowSpeedTime.count()) + " ms";
      }
      t.windowStart = now;
      t.windowMoved = t.moved;
    }
    if (reason.empty()) {
      ++it;
      continue;
    }
    curl_multi_remove_handle(multi, t.easy);
    Fail(t, abort ? FetchStatus::kAborted : FetchStatus::kFailed, std::move(reason), out);
    it = transfers_.erase(it);
  }
  return out;
}

}  // namespace vorlin
