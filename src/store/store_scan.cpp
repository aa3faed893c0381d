#include "store/store_scan.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "store/crc32.h"
#include "store/store_format.h"
#include "store/store_map.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

// The fixed text of a canonical block around its five values (store_format.cpp writes it).
constexpr std::string_view kOpen = kBlockOpen;
constexpr const std::array<std::string_view, kFieldCount>& kAfter = kBlockAfter;
// Where one block ends and the next begins: a likely place to split the work.
constexpr std::string_view kJoint = "]]></pubDate>\r\n</item>\r\n<item>\r\n<titleRss><![CDATA[";
constexpr size_t kJointEnd = kJoint.size() - kOpen.size();

enum class Status { kOk, kShort, kBad };

// One block's values as they stand in the buffer; bit f of `cr` says value f holds a CR.
struct RawItem {
  std::array<std::string_view, kFieldCount> values;
  unsigned cr = 0;
};

// Bytes that stop the value scan: "]" (maybe the end of the section), CR (to be read as LF),
// and what no XML text may hold: control characters but tab and LF. The byte the code page
// leaves unassigned (0x98) is kept as it stands, as the walk keeps it.
constexpr std::array<bool, 256> kStops = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[static_cast<size_t>(c)] = c != '\t' && c != '\n';
  t[']'] = true;
  return t;
}();

// The first stop byte in [p, end), or end.
inline const char* NextStop(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i bracket = _mm_set1_epi8(']');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i top3 = _mm_set1_epi8(static_cast<char>(0xE0));
  const __m128i zero = _mm_setzero_si128();
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i control = _mm_cmpeq_epi8(_mm_and_si128(v, top3), zero);  // below 0x20
    control =
        _mm_andnot_si128(_mm_or_si128(_mm_cmpeq_epi8(v, tab), _mm_cmpeq_epi8(v, lf)), control);
    const __m128i stop = _mm_or_si128(control, _mm_cmpeq_epi8(v, bracket));
    const int mask = _mm_movemask_epi8(stop);
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  while (p < end && !kStops[static_cast<unsigned char>(*p)]) ++p;
  return p;
}

// Scans a CDATA value from `p` to the "]]>" that ends it, which `stop` then points at.
inline Status ScanValue(const char* p, const char* end, const char*& stop, bool& cr) {
  for (;;) {
    p = NextStop(p, end);
    if (end - p < 3) return Status::kShort;
    if (*p == ']') {
      if (p[1] == ']' && p[2] == '>') {
        stop = p;
        return Status::kOk;
      }
    } else if (*p == '\r') {
      cr = true;
    } else {
      return Status::kBad;
    }
    ++p;
  }
}

inline bool Matches(const char* p, std::string_view text) {
  return std::memcmp(p, text.data(), text.size()) == 0;
}

// Scans whole blocks from `pos` while it is before `limit`, handing each to the sink. On kShort
// `pos` is the start of a block that does not end before `end`; on kOk it is at or past `limit`.
template <typename Sink>
Status ScanBlocks(const char*& pos, const char* end, const char* limit, Sink& sink) {
  RawItem item;
  while (pos < limit) {
    const char* p = pos;
    if (static_cast<size_t>(end - p) < kOpen.size()) return Status::kShort;
    if (!Matches(p, kOpen)) return Status::kBad;
    p += kOpen.size();
    item.cr = 0;
    for (size_t f = 0; f < kFieldCount; ++f) {
      const char* stop = nullptr;
      bool cr = false;
      const Status s = ScanValue(p, end, stop, cr);
      if (s != Status::kOk) return s;
      item.values[f] = std::string_view(p, static_cast<size_t>(stop - p));
      if (cr) item.cr |= 1u << f;
      if (static_cast<size_t>(end - stop) < kAfter[f].size()) return Status::kShort;
      if (!Matches(stop, kAfter[f])) return Status::kBad;
      p = stop + kAfter[f].size();
    }
    sink.Add(item);
    pos = p;
  }
  return Status::kOk;
}

// A second thread that runs one job at a time, kept for the whole scan: the stretches are small
// enough to stay in the processor's cache, too many to start a thread for each.
class Helper {
 public:
  Helper() : thread_([this] { Run(); }) {}
  ~Helper() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void Start(std::function<void()> job) {
    {
      std::lock_guard lock(mutex_);
      job_ = std::move(job);
    }
    wake_.notify_all();
  }
  // Waits for the job; rethrows what it threw.
  void Finish() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return !job_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || job_; });
      if (!job_) return;
      lock.unlock();
      try {
        job_();
      } catch (...) {
        failure_ = std::current_exception();
      }
      lock.lock();
      job_ = nullptr;
      done_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::function<void()> job_;
  std::exception_ptr failure_;
  bool stop_ = false;
  std::thread thread_;
};

// Scans the buffer [begin, end), handing the second half to the helper when the buffer is
// large. The split is a guess (a value may hold the bytes of a block boundary); it holds only
// when the first half's blocks end exactly there, otherwise the helper's work is dropped.
template <typename Sink>
Status ScanBuffer(const char* begin, const char* end, const char*& pos, Sink& first, Sink& second,
                  Helper* helper, const ScanOptions& options) {
  pos = begin;
  const char* cut = nullptr;
  if (helper != nullptr && static_cast<size_t>(end - begin) >= options.splitAtLeast) {
    const char* from = begin + (end - begin) / 2;
    const void* hit = memmem(from, static_cast<size_t>(end - from), kJoint.data(), kJoint.size());
    if (hit != nullptr) cut = static_cast<const char*>(hit) + kJointEnd;
  }
  if (cut == nullptr) {
    const Status s = ScanBlocks(pos, end, end, first);
    if (s != Status::kBad) first.Flush();
    return s;
  }
  const char* secondPos = cut;
  Status secondStatus = Status::kBad;
  helper->Start([&] { secondStatus = ScanBlocks(secondPos, end, end, second); });
  Status s = Status::kBad;
  try {
    s = ScanBlocks(pos, end, cut, first);
  } catch (...) {
    helper->Finish();  // the job uses this frame
    throw;
  }
  helper->Finish();
  if (s == Status::kOk && pos == cut) {
    if (secondStatus == Status::kBad) return secondStatus;
    first.Flush();
    second.Flush();
    pos = secondPos;
    return secondStatus;
  }
  second.Discard();
  if (s == Status::kOk) s = ScanBlocks(pos, end, end, first);
  if (s != Status::kBad) first.Flush();
  return s;
}

// Where the bytes come from: fills `dst` with up to `size` bytes, fewer only at the end.
using Reader = std::function<bool(char* dst, size_t size, size_t& got)>;

template <typename Sink>
bool Scan(const Reader& read, Sink& first, Sink& second, const ScanOptions& options) {
  std::unique_ptr<char[]> data;
  size_t capacity = 0;
  size_t have = 0;
  std::optional<Helper> helper;
  try {
    helper.emplace();
  } catch (const std::system_error&) {
    // No second thread to be had: one does it all.
  }
  for (;;) {
    // A block longer than the buffer doubles it, so a huge value is not scanned over and over.
    const size_t want = std::max(options.blockSize, have);
    if (have + want > capacity) {
      auto bigger = std::make_unique_for_overwrite<char[]>(have + want);
      if (have > 0) std::memcpy(bigger.get(), data.get(), have);
      data = std::move(bigger);
      capacity = have + want;
    }
    size_t got = 0;
    if (!read(data.get() + have, want, got)) return false;
    have += got;
    const char* begin = data.get();
    const char* pos = begin;
    if (ScanBuffer(begin, begin + have, pos, first, second, helper ? &*helper : nullptr, options) ==
        Status::kBad)
      return false;
    const size_t used = static_cast<size_t>(pos - begin);
    if (got < want) return used == have;  // the end: a cut block is not canonical
    std::memmove(data.get(), pos, have - used);
    have -= used;
  }
}

bool ScanFile(std::string_view storeName, const std::function<bool(const Reader&)>& scan) {
  const int fd = ::open(FsPath(storeName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return scan([fd](char* dst, size_t size, size_t& got) {
    got = 0;
    while (got < size) {
      const ssize_t n = ::read(fd, dst + got, size - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    return true;
  });
}

Reader TextReader(std::string_view& rest) {
  return [&rest](char* dst, size_t size, size_t& got) {
    got = std::min(size, rest.size());
    std::memcpy(dst, rest.data(), got);
    rest.remove_prefix(got);
    return true;
  };
}

// A value read as the XML parser reads it: every CR LF and lone CR becomes LF.
void AssignValue(std::string& out, std::string_view raw, bool cr) {
  if (!cr) {
    out.assign(raw);
    return;
  }
  size_t n = raw.size();
  for (size_t i = 0; i + 1 < raw.size(); ++i) {
    if (raw[i] == '\r' && raw[i + 1] == '\n') --n;
  }
  out.resize(n);
  char* o = out.data();
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\r') {
      *o++ = raw[i];
    } else {
      *o++ = '\n';
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    }
  }
}

// Gathers messages as spans of the scanned buffer; a value with a CR is read into a string of
// its own (its line ends read as LF).
class SpanSink {
 public:
  SpanSink(MessageList& list, const char* base) : list_(list), base_(base) {}

  void Add(const RawItem& item) {
    for (size_t f = 0; f < kFieldCount; ++f) {
      FieldColumn& column = list_.Column(static_cast<Field>(f));
      const std::string_view raw = item.values[f];
      if ((item.cr >> f & 1u) != 0) {
        std::string value;
        AssignValue(value, raw, true);
        column.PushOwned(std::move(value));
      } else {
        column.PushSpan(base_, static_cast<size_t>(raw.data() - base_), raw.size());
      }
    }
    ++list_.count;
  }
  void Flush() {}
  void Discard() {
    MessageList empty;
    empty.Adopt(list_.buffer);
    list_.Swap(empty);
  }

 private:
  MessageList& list_;
  const char* base_;
};

// Moves the messages of `from` to the end of `to`; both span the same buffer.
void TakeMessages(MessageList& to, MessageList& from) {
  for (int f = 0; f < kFieldCount; ++f) {
    to.Column(static_cast<Field>(f)).TakeAppend(from.Column(static_cast<Field>(f)));
  }
  to.count += from.count;
  from.count = 0;
}

// Scans the whole buffer of `out` (already adopted) in stretches, two threads to a stretch,
// telling `loaded` the count after each.
bool ScanWhole(size_t size, MessageList& out, const std::function<void(int)>& loaded,
               const ScanOptions& options) {
  const char* const base = out.buffer.get();
  const char* const end = base + size;
  std::optional<Helper> helper;
  try {
    helper.emplace();
  } catch (const std::system_error&) {
    // No second thread to be had: one does it all.
  }
  MessageList second;
  second.Adopt(out.buffer);
  SpanSink firstSink(out, base), secondSink(second, base);
  const char* pos = base;
  size_t stretch = options.stretchSize;
  bool reserved = false;
  while (pos < end) {
    const char* stretchEnd = end - pos > static_cast<ptrdiff_t>(stretch) ? pos + stretch : end;
    const char* from = pos;
    const Status s = ScanBuffer(from, stretchEnd, pos, firstSink, secondSink,
                                helper ? &*helper : nullptr, options);
    if (s == Status::kBad || (s == Status::kShort && stretchEnd == end)) return false;
    TakeMessages(out, second);
    // A block longer than a stretch: the next stretch is twice as long.
    if (pos == from) stretch *= 2;
    if (!reserved && out.count > 0) {
      // Room for the whole store from what the first stretch held, so that the columns do
      // not grow by doubling; room reserved but never filled is never touched.
      const double perByte = out.count / static_cast<double>(pos - base);
      const auto expected = static_cast<size_t>(1.1 * perByte * static_cast<double>(size)) + 16;
      for (int f = 0; f < kFieldCount; ++f) out.Column(static_cast<Field>(f)).Reserve(expected);
      reserved = true;
    }
    if (loaded) loaded(out.count);
  }
  return true;
}

class SumSink {
 public:
  explicit SumSink(std::vector<DescriptionSum>& out) : out_(out) {}

  void Add(const RawItem& item) {
    std::string_view d = item.values[kDescription];
    if ((item.cr >> kDescription & 1u) != 0) {
      AssignValue(scratch_, d, true);
      d = scratch_;
    }
    sums_.emplace_back(Crc32(d), d.size());
  }
  void Flush() {
    out_.insert(out_.end(), sums_.begin(), sums_.end());
    sums_.clear();
  }
  void Discard() { sums_.clear(); }

 private:
  std::vector<DescriptionSum>& out_;
  std::vector<DescriptionSum> sums_;
  std::string scratch_;
};

bool ScanSums(const Reader& read, std::vector<DescriptionSum>& sums, const ScanOptions& options) {
  sums.clear();
  SumSink first(sums), second(sums);
  return Scan(read, first, second, options);
}

}  // namespace

bool ScanStoreFile(std::string_view storeName, MessageList& out,
                   const std::function<void(int)>& loaded, const ScanOptions& options) {
  StoreMap map;
  if (!MapStoreFile(storeName, map)) return false;
  MessageList fresh;
  fresh.Adopt(std::move(map.bytes));
  if (!ScanWhole(map.size, fresh, loaded, options)) return false;
  out.Swap(fresh);
  return true;
}

bool ScanStoreText(std::string_view bytes, MessageList& out, const ScanOptions& options) {
  std::shared_ptr<char[]> copy(new char[bytes.size() + 1]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  MessageList fresh;
  fresh.Adopt(std::move(copy));
  if (!ScanWhole(bytes.size(), fresh, {}, options)) return false;
  out.Swap(fresh);
  return true;
}

bool ScanStoreDescriptions(std::string_view storeName, std::vector<DescriptionSum>& sums,
                           const ScanOptions& options) {
  return ScanFile(storeName, [&](const Reader& read) { return ScanSums(read, sums, options); });
}

bool ScanStoreTextDescriptions(std::string_view bytes, std::vector<DescriptionSum>& sums,
                               const ScanOptions& options) {
  return ScanSums(TextReader(bytes), sums, options);
}

}  // namespace vorlin
