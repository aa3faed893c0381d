#include "download/feed_fetch.h"

#include <limits.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

bool SchemeChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

bool EntryExists(const std::string& name) {
  struct stat st {};
  return ::lstat(FsPath(name).c_str(), &st) == 0;
}

// Room for "_", the number (up to 10 digits) and ".tmp" in a file name of NAME_MAX bytes.
constexpr size_t kStemBytes = NAME_MAX - 1 - 10 - 4;
constexpr size_t kHashBytes = 9;  // "~" and 8 hexadecimal digits

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

std::string FeedFileBase(std::string_view url) {
  const std::string stem = FeedFileStem(url);
  // File names on disk are UTF-8, where a letter of the code page may take up to three bytes.
  if (Cp1251ToUtf8(stem).size() <= kStemBytes) return stem;
  std::string cut;
  size_t bytes = 0;
  for (const char c : stem) {
    const size_t width = Cp1251ToUtf8(std::string_view(&c, 1)).size();
    if (bytes + width > kStemBytes - kHashBytes) break;
    cut += c;
    bytes += width;
  }
  char hash[16];
  std::snprintf(
      hash, sizeof hash, "~%08lx",
      crc32(0L, reinterpret_cast<const Bytef*>(stem.data()), static_cast<uInt>(stem.size())));
  return cut + hash;
}

std::string InFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  return path + std::string(name);
}

int FreeFeedNumber(std::string_view folder, std::string_view stem, int from) {
  const std::string base = InFolder(folder, stem) + "_";
  for (int n = std::max(from, 1);; ++n) {
    const std::string number = std::to_string(n);
    if (!EntryExists(base + number + ".xml") && !EntryExists(base + number + ".tmp")) return n;
  }
}

const FetchResult& FeedFetcher::Run(FetchRequest request, Progress& progress) {
  pool_.Start(std::move(request), progress);
  for (;;) {
    std::vector<FetchResult> done = pool_.Perform(1000);
    if (!done.empty()) {
      last_ = std::move(done.front());
      return last_;
    }
  }
}

int64_t FeedFetcher::FetchUrlToFile(const std::string& url, const std::string& fileName,
                                    Progress& progress) {
  FetchRequest request;
  request.url = url;
  request.fileName = fileName;
  const FetchResult& result = Run(std::move(request), progress);
  if (result.status == FetchStatus::kFileError) throw Error(result.reason);
  return result.status == FetchStatus::kStored ? result.bytes : 0;
}

bool FeedFetcher::DownloadFeedToFolder(const std::string& url, const std::string& folder,
                                       Progress& progress) {
  if (folder.empty()) {
    throw Error(
        "No download folder: choose the folder for downloaded files with the \"?\" button "
        "beside \"Download folder\" on the downloads page");
  }
  FetchRequest request;
  request.url = url;
  request.folder = folder;
  const FetchResult& result = Run(std::move(request), progress);
  if (result.status == FetchStatus::kFileError) throw Error(result.reason);
  return result.status == FetchStatus::kStored;
}

}  // namespace vorlin
