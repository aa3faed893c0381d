#include "reader/read_marks.h"

#include <utility>

#include "reader/query.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

constexpr std::chrono::milliseconds kEarlyTick{50};

}  // namespace

void ReadMarks::BeginShow() {
  running_ = false;
  currentKey_.clear();
}

bool ReadMarks::EndShow(std::string key, bool markingOn, int intervalSeconds,
                        Clock::time_point now) {
  currentKey_ = std::move(key);
  running_ = markingOn;
  intervalMs_ = intervalSeconds * 1000;
  due_ = now + std::chrono::milliseconds(intervalMs_);
  return running_;
}

void ReadMarks::Reset() { BeginShow(); }

bool ReadMarks::IsCurrentRead() const {
  return !currentKey_.empty() && readIndex_.Contains(currentKey_);
}

void ReadMarks::MarkCurrentRead() {
  if (!currentKey_.empty() && !readIndex_.Contains(currentKey_)) readIndex_.Add(currentKey_);
}

bool ReadMarks::Toggle() {
  if (IsCurrentRead()) {
    readIndex_.Remove(currentKey_);
  } else {
    MarkCurrentRead();
  }
  return IsCurrentRead();
}

bool ReadMarks::Tick(Clock::time_point now, bool stopRequest) {
  // A tick queued before another message was shown must not mark the message now on screen;
  // a timer may fire a few milliseconds early.
  if (!running_ || !stopRequest || now + kEarlyTick < due_) return false;
  MarkCurrentRead();
  return true;
}

bool IsOpenableLink(std::string_view link) {
  std::string_view t = TrimControls(link);
  std::string upper = UpperCase1251(t.substr(0, 8));
  for (std::string_view scheme : {"HTTP://", "HTTPS://", "FTP://"}) {
    if (std::string_view(upper).substr(0, scheme.size()) == scheme && t.size() > scheme.size())
      return true;
  }
  return false;
}

std::string RefusedLinkText(std::string_view link) {
  return W("Ссылка не открыта: разрешены только адреса http, https и ftp (link refused): ") +
         std::string(link);
}

}  // namespace vorlin
