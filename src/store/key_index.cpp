#include "store/key_index.h"

#include <algorithm>
#include <iterator>

#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

bool KeyIndex::Less::operator()(std::string_view a, std::string_view b) const {
  return CompareNoCase(a, b) < 0;
}

bool KeyIndex::Contains(std::string_view key) const {
  return std::binary_search(sorted_.begin(), sorted_.end(), key, Less()) ||
         added_.find(key) != added_.end();
}

bool KeyIndex::Add(std::string_view key) {
  if (key.empty() || Contains(key)) return false;
  added_.emplace(key);
  if (added_.size() > std::max<size_t>(1024, sorted_.size() / 16)) Merge();
  return true;
}

bool KeyIndex::Remove(std::string_view key) {
  auto it = added_.find(key);
  if (it != added_.end()) {
    added_.erase(it);
    return true;
  }
  auto pos = std::lower_bound(sorted_.begin(), sorted_.end(), key, Less());
  if (pos == sorted_.end() || Less()(key, *pos)) return false;
  sorted_.erase(pos);
  return true;
}

void KeyIndex::Clear() {
  sorted_.clear();
  added_.clear();
}

void KeyIndex::Merge() const {
  if (added_.empty()) return;
  std::vector<std::string> merged;
  merged.reserve(sorted_.size() + added_.size());
  auto a = sorted_.begin();
  auto b = added_.begin();
  while (a != sorted_.end() || b != added_.end()) {
    if (b == added_.end() || (a != sorted_.end() && Less()(*a, *b))) {
      merged.push_back(std::move(*a++));
    } else {
      merged.push_back(*b++);
    }
  }
  sorted_.swap(merged);
  added_.clear();
}

const std::vector<std::string>& KeyIndex::Keys() const {
  Merge();
  return sorted_;
}

void KeyIndex::Load(std::string_view fileName) {
  if (!FileExists(fileName) && !std::filesystem::is_directory(FsPath(fileName))) {
    Clear();
    return;
  }
  Assign(SplitLines(ReadWholeFile(fileName)));
}

void KeyIndex::Assign(std::vector<std::string> keys) {
  std::erase_if(keys, [](const std::string& k) { return k.empty(); });
  // Saved indexes and rebuilt ones come sorted; checking is far cheaper than sorting.
  if (!std::is_sorted(keys.begin(), keys.end(), Less())) {
    std::sort(keys.begin(), keys.end(), Less());
  }
  keys.erase(std::unique(keys.begin(), keys.end(),
                         [](const std::string& a, const std::string& b) {
                           return CompareNoCase(a, b) == 0;
                         }),
             keys.end());
  sorted_.swap(keys);
  added_.clear();
}

void KeyIndex::Save(std::string_view fileName) const {
  WriteFileAtomic(fileName, JoinLines(Keys()));
}

namespace {

std::string WithoutExtension(std::string_view name) {
  size_t slash = name.rfind('/');
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return std::string(name);
  }
  return std::string(name.substr(0, dot));
}

}  // namespace

std::string StoreIndexName(std::string_view storeName) {
  return WithoutExtension(storeName) + ".BCRC32";
}

std::string ReadIndexName(std::string_view storeName) {
  return WithoutExtension(storeName) + ".RMCRC32";
}

}  // namespace vorlin
