// Fetching one feed URL into a new numbered file of the download folder: the file names, and a
// synchronous fetcher over the transfer pool for one feed at a time.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "download/fetch_pool.h"

namespace vorlin {

// The file name stem of a URL: a leading scheme prefix ("letters, digits, +, -, ." then "://",
// any letter case) is removed, then the text is cut before its first "/" (empty when none).
std::string FeedFileStem(std::string_view url);

// The stem the files of `url` are named with: FeedFileStem, cut when its numbered file name
// would be too long for the file system, and then ended by "~" and 8 hexadecimal digits of its
// whole text's CRC-32, so that different long stems stay apart.
std::string FeedFileBase(std::string_view url);

// The smallest n from `from` (1 by default) for which neither folder/stem_n.xml nor
// folder/stem_n.tmp exists.
int FreeFeedNumber(std::string_view folder, std::string_view stem, int from = 1);

// `folder` + "/" + `name`, without doubling a trailing "/".
std::string InFolder(std::string_view folder, std::string_view name);

// One feed at a time; the connections are reused from one fetch to the next.
class FeedFetcher {
 public:
  explicit FeedFetcher(FetchLimits limits = {}, const std::atomic<int>* abort = nullptr)
      : pool_(limits, abort) {}

  // Copies the body at `url` into a new file `fileName` (created; an existing file is an error)
  // and returns the number of bytes written; on a failure returns 0 and removes the file.
  // Status texts as FetchPool::Start. Throws Error when the file cannot be created or written.
  int64_t FetchUrlToFile(const std::string& url, const std::string& fileName, Progress& progress);

  // Fetches into folder/stem_n.tmp and renames it to folder/stem_n.xml, never over an existing
  // file. True when the feed was stored. Throws Error for an empty folder (naming
  // EditDirSaveDFiles) and for a file that cannot be created or written.
  bool DownloadFeedToFolder(const std::string& url, const std::string& folder, Progress& progress);

  // The whole result of the last fetch.
  const FetchResult& Last() const { return last_; }
  // Why the last fetch failed (UTF-8), empty after a success.
  const std::string& LastError() const { return last_.reason; }
  // The file the last successful fetch made.
  const std::string& LastFile() const { return last_.file; }

  // One request run to its end.
  const FetchResult& Run(FetchRequest request, Progress& progress);

 private:
  FetchPool pool_;
  FetchResult last_;
};

}  // namespace vorlin
