// Feed transfers on libcurl's multi interface: any number at once, each copied into a new file
// of the download folder (or into a named file), driven by Perform on one thread at a time.
//
// Only http, https, ftp and ftps are fetched (redirects too, at most 10); any other scheme
// fails like a URL that cannot be opened. The agent name is "Rss Download"; caches are told not
// to answer; gzip, deflate, brotli and zstd bodies are asked for and stored decoded; the system's
// proxy variables are honoured. An HTTP status of 400 or above, an FTP error, a connection that
// takes too long, a transfer that moves too little for too long and a body above the size limit
// are failures, and a failure never leaves a file behind.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "download/feed_validators.h"
#include "util/progress.h"

namespace vorlin {

struct FetchLimits {
  std::chrono::milliseconds connectTimeout{30'000};
  // A transfer that moves fewer than lowSpeedBytes in any lowSpeedTime fails (a server that
  // trickles or sends nothing); the time runs from the start of the transfer.
  int64_t lowSpeedBytes = 1024;
  std::chrono::milliseconds lowSpeedTime{60'000};
  // Whatever the speed, a transfer ends after this long.
  std::chrono::milliseconds totalTimeout{15 * 60'000};
  int64_t maxBytes = int64_t{64} << 20;
  long maxRedirects = 10;
};

struct FetchRequest {
  int id = 0;             // the caller's, handed back in the result
  std::string url;        // as the download list holds it (Windows-1251)
  std::string folder;     // a new numbered file of this folder (see FeedFileBase), or, if empty,
  std::string fileName;   // this file, created new
  Validators validators;  // when given, sent as If-None-Match and If-Modified-Since
};

enum class FetchStatus {
  kStored,       // the body is in `file`
  kNotModified,  // the server answered 304 to the validators: no file
  kFailed,       // no file; `reason` says why
  kAborted,      // ended by the abort counter; no file
  kFileError,    // the file could not be created or written: `reason` ends the batch
};

struct FetchResult {
  int id = 0;
  FetchStatus status = FetchStatus::kFailed;
  std::string reason;  // UTF-8
  std::string file;    // the stored file (Windows-1251 name)
  int64_t bytes = 0;
  Validators validators;  // those the server sent with a stored body

  static FetchResult Of(int id, FetchStatus status, std::string reason = {}) {
    FetchResult result;
    result.id = id;
    result.status = status;
    result.reason = std::move(reason);
    return result;
  }
};

class FetchPool {
 public:
  // Whenever `abort` (when given) changes its value, every transfer in progress ends as
  // kAborted. It may be changed from any thread or a signal handler.
  explicit FetchPool(FetchLimits limits = {}, const std::atomic<int>* abort = nullptr);
  ~FetchPool();
  FetchPool(const FetchPool&) = delete;
  FetchPool& operator=(const FetchPool&) = delete;

  // Starts a transfer. Status texts go to `progress` (which must outlive the transfer):
  // "Start Download ", then "Download N byte, file from URL  to FILE" as the body arrives;
  // "Internet Open  Error! Нет доступа к сети!" when libcurl cannot start,
  // "Internet Open URL Error! Неправильный URL! " + URL when the URL does not open.
  void Start(FetchRequest request, Progress& progress);

  // Drives the transfers, waiting up to `waitMs` for something to happen (less while transfers
  // run, so that limits and the abort counter are looked at often); returns those that ended.
  std::vector<FetchResult> Perform(int waitMs);

  // Makes a Perform waiting on another thread return at once.
  void Wakeup();

  int Running() const { return static_cast<int>(transfers_.size()); }

  struct Transfer;  // one transfer's state, shared with libcurl's callbacks

 private:
  void Finish(Transfer& t, int curlResult, std::vector<FetchResult>& out);
  void Fail(Transfer& t, FetchStatus status, std::string reason, std::vector<FetchResult>& out);

  FetchLimits limits_;
  const std::atomic<int>* abort_;
  int abortSeen_ = 0;
  void* multi_;
  std::list<std::unique_ptr<Transfer>> transfers_;
  std::vector<FetchResult> early_;         // requests that failed before their transfer began
  std::map<std::string, int> nextNumber_;  // by folder and stem: where the name search goes on
};

}  // namespace vorlin
