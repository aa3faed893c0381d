#include "reader/history.h"

#include <charconv>

namespace vorlin {
namespace {

constexpr std::string_view kPrefix = "RSS://";

}  // namespace

int HistoryLine(const std::string& entry) {
  if (entry.compare(0, kPrefix.size(), kPrefix) != 0) return -1;
  size_t semicolon = entry.find(';', kPrefix.size());
  if (semicolon == std::string::npos) return -1;
  const char* b = entry.data() + kPrefix.size();
  const char* e = entry.data() + semicolon;
  int k = -1;
  auto [ptr, ec] = std::from_chars(b, e, k);
  if (ec != std::errc() || ptr != e || b == e) return -1;
  return k;
}

void History::Clear() {
  entries_.clear();
  selected_ = -1;
}

bool History::Record(int line, const std::string& lineText, int lineCount) {
  if (line < 0) return false;
  if (!entries_.empty()) {
    int k = HistoryLine(entries_.back());
    if (k < 0 || k >= lineCount || k == line) return false;
  }
  entries_.push_back(std::string(kPrefix) + std::to_string(line) + ";" + lineText);
  selected_ = static_cast<int>(entries_.size()) - 1;
  return true;
}

std::optional<History::Target> History::Open(int lineCount) const {
  if (selected_ < 0 || selected_ >= static_cast<int>(entries_.size())) return std::nullopt;
  const std::string& entry = entries_[static_cast<size_t>(selected_)];
  if (entry.compare(0, kPrefix.size(), kPrefix) != 0) return Target{-1, entry};
  int k = HistoryLine(entry);
  if (k < 0 || k >= lineCount) return std::nullopt;
  return Target{k, {}};
}

bool History::Back() {
  if (selected_ <= 0) return false;
  --selected_;
  return true;
}

bool History::Forward() {
  if (selected_ >= static_cast<int>(entries_.size()) - 1) return false;
  ++selected_;
  return true;
}

}  // namespace vorlin
