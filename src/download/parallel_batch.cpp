#include "download/parallel_batch.h"

#include <algorithm>
#include <utility>

#include "download/url_text.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

// Rows looked at ahead of the first one waiting for its host.
constexpr size_t kLookAhead = 64;

DownloadOutcome OutcomeOf(FetchStatus status) {
  switch (status) {
    case FetchStatus::kStored:
      return DownloadOutcome::kOk;
    case FetchStatus::kNotModified:
      return DownloadOutcome::kNotModified;
    case FetchStatus::kAborted:
      return DownloadOutcome::kAborted;
    default:
      return DownloadOutcome::kFailed;
  }
}

}  // namespace

ParallelBatch::ParallelBatch(DownloadBatch& batch, std::string folder, ValidatorMap* validators,
                             int parallel, int perHost)
    : batch_(batch),
      folder_(std::move(folder)),
      validators_(validators),
      parallel_(std::clamp(parallel, 1, kMaxParallelDownloads)),
      perHost_(std::max(perHost, 1)) {}

std::vector<FetchRequest> ParallelBatch::Ready() {
  std::vector<FetchRequest> out;
  while (!stopped_ && running_ < parallel_) {
    auto pick = std::find_if(entries_.begin(), entries_.end(), [this](const Entry& e) {
      return e.state == Entry::State::kWaiting && hostRunning_[e.host] < perHost_;
    });
    if (pick == entries_.end()) {
      if (exhausted_ || entries_.size() >= kLookAhead) break;
      try {
        std::optional<DownloadJob> job = batch_.Next();
        if (!job) {
          exhausted_ = true;
          // Next gives nothing more once the stop flag is set: what waits is not started.
          if (batch_.Stopped()) Stop();
          break;
        }
        Entry entry;
        entry.host = UrlHost(job->url);
        entry.job = std::move(*job);
        entries_.push_back(std::move(entry));
      } catch (const vorlin::Error& e) {
        error_ = e.what();
        exhausted_ = true;
      }
      continue;
    }
    pick->state = Entry::State::kRunning;
    ++running_;
    ++hostRunning_[pick->host];
    FetchRequest request;
    request.id = pick->job.row;
    request.url = pick->job.url;
    request.folder = folder_;
    if (validators_ != nullptr) {
      auto found = validators_->find(pick->job.url);
      if (found != validators_->end()) request.validators = found->second;
    }
    out.push_back(std::move(request));
  }
  return out;
}

void ParallelBatch::Finished(const FetchResult& result) {
  auto entry = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
    return e.state == Entry::State::kRunning && e.job.row == result.id;
  });
  if (entry == entries_.end()) return;
  entry->state = Entry::State::kDone;
  entry->result = result;
  --running_;
  --hostRunning_[entry->host];
  if (result.status == FetchStatus::kFileError) {
    if (error_.empty()) error_ = result.reason;
    Stop();
  } else if (batch_.Stopped()) {
    Stop();
  }
  Record();
}

void ParallelBatch::Stop() {
  stopped_ = true;
  std::erase_if(entries_, [](const Entry& e) { return e.state == Entry::State::kWaiting; });
  Record();
}

void ParallelBatch::Record() {
  while (!entries_.empty() && entries_.front().state == Entry::State::kDone) {
    const Entry& e = entries_.front();
    // A file error is the batch's error; the row itself stays as it was.
    if (e.result.status != FetchStatus::kFileError) {
      if (validators_ != nullptr && e.result.status == FetchStatus::kStored) {
        if (e.result.validators.Empty()) {
          validators_->erase(e.job.url);
        } else {
          (*validators_)[e.job.url] = e.result.validators;
        }
      }
      reports_.push_back({e.job.row, batch_.Complete(e.job.row, OutcomeOf(e.result.status))});
    }
    entries_.pop_front();
  }
}

std::vector<BatchReport> ParallelBatch::TakeReports() { return std::exchange(reports_, {}); }

}  // namespace vorlin
