// Fetching one feed URL into a new numbered file of the download folder, on libcurl.
//
// Only http, https, ftp and ftps are fetched (redirects too, at most 10); any other scheme
// fails like a URL that cannot be opened. The agent name is "Rss Download"; caches are told
// not to answer; compressed bodies are stored decompressed; the system's proxy variables are
// honoured. An HTTP status of 400 or above, an FTP error, a connection that takes too long, a
// transfer that stalls and a body above the size limit are failures, and a failure never leaves
// a file behind.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/progress.h"

namespace vorlin {

struct FetchLimits {
  std::chrono::milliseconds connectTimeout{30'000};
  // No byte for this long fails the transfer.
  std::chrono::milliseconds stallTimeout{60'000};
  // A body that trickles forever fails after this long.
  std::chrono::milliseconds totalTimeout{15 * 60'000};
  int64_t maxBytes = int64_t{64} << 20;
  long maxRedirects = 10;
};

// The file name stem of a URL: a leading scheme prefix ("letters, digits, +, -, ." then "://",
// any letter case) is removed, then the text is cut before its first "/" (empty when none).
std::string FeedFileStem(std::string_view url);

// The smallest n from 1 for which neither folder/stem_n.xml nor folder/stem_n.tmp exists.
int FreeFeedNumber(std::string_view folder, std::string_view stem);

// `folder` + "/" + `name`, without doubling a trailing "/".
std::string InFolder(std::string_view folder, std::string_view name);

// One fetcher serves one batch: transfers run one at a time and reuse its connections.
// Not thread-safe; it may run on any one thread at a time.
class FeedFetcher {
 public:
  // `abort`, when given and set, ends a transfer in progress as a failure (used at shutdown).
  explicit FeedFetcher(FetchLimits limits = {}, const std::atomic<bool>* abort = nullptr);
  ~FeedFetcher();
  FeedFetcher(const FeedFetcher&) = delete;
  FeedFetcher& operator=(const FeedFetcher&) = delete;

  // Copies the body at `url` into a new file `fileName` (created; an existing file is an error)
  // and returns the number of bytes written; on a failure returns 0 and removes the file.
  // Status texts: "Start Download ", then "Download N byte, file from URL  to FILE" per block;
  // "Internet Open  Error! Нет доступа к сети!" when libcurl cannot start,
  // "Internet Open URL Error! Не правльный URL! " + URL when the URL does not open. Throws
  // Error when the file cannot be created or written.
  int64_t FetchUrlToFile(const std::string& url, const std::string& fileName, Progress& progress);

  // Fetches into folder/stem_n.tmp and renames it to folder/stem_n.xml, never over an existing
  // file. True when the feed was stored. Throws Error for an empty folder (naming
  // EditDirSaveDFiles) and for a file that cannot be created or written.
  bool DownloadFeedToFolder(const std::string& url, const std::string& folder, Progress& progress);

  // Why the last fetch failed (UTF-8), empty after a success.
  const std::string& LastError() const { return lastError_; }
  // The file the last successful DownloadFeedToFolder made.
  const std::string& LastFile() const { return lastFile_; }

 private:
  FetchLimits limits_;
  const std::atomic<bool>* abort_;
  void* multi_;
  std::string lastError_;
  std::string lastFile_;
};

}  // namespace vorlin
