// Search figures over a loaded store: the filtered description search, the simple search of
// every message, the four accumulator operations, and the heap each adds to the loaded store.
// Usage: vorlin-search-bench STORE QUERY (QUERY in UTF-8). Prints "name value" lines.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/accumulator.h"
#include "reader/message_filter.h"
#include "store/key_index.h"
#include "store/store_loader.h"
#include "util/cp1251.h"

namespace {

// Heap bytes in use and their peak, counted by the replaced operator new and delete.
size_t gInUse = 0;
size_t gPeak = 0;

void* Allocate(size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  gInUse += malloc_usable_size(p);
  if (gInUse > gPeak) gPeak = gInUse;
  return p;
}

void Release(void* p) {
  if (p == nullptr) return;
  gInUse -= malloc_usable_size(p);
  std::free(p);
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vorlin-search-bench STORE QUERY\n");
    return 2;
  }
  using namespace vorlin;
  using Clock = std::chrono::steady_clock;
  MessageList messages;
  NullProgress progress;
  LoadStore(Utf8ToCp1251(argv[1]), messages, progress);
  const double count = messages.Count();
  KeyIndex readIndex;
  std::printf("messages %d\n", messages.Count());

  SearchSettings filtered;
  filtered.useFilter = true;
  filtered.queries[2] = Utf8ToCp1251(argv[2]);
  size_t base = gInUse;
  gPeak = gInUse;
  // Best of three runs, as the reference is timed.
  double best = 1e9;
  std::vector<int> found;
  for (int run = 0; run < 3; ++run) {
    found = {};
    auto t = Clock::now();
    found = SelectMessages(messages, filtered, readIndex);
    best = std::min(best, Seconds(t));
  }
  std::printf("filtered_seconds %.4f\n", best);
  std::printf("filtered_found %zu\n", found.size());
  std::printf("filtered_peak_bytes_per_message %.2f\n", double(gPeak - base) / count);
  found = {};

  SearchSettings all;
  Accumulator accumulator;
  base = gInUse;
  gPeak = gInUse;
  auto t = Clock::now();
  std::vector<int> list = SimpleSearch(messages, all, readIndex, accumulator);
  std::printf("simple_seconds %.4f\n", Seconds(t));
  std::printf("simple_listed %zu\n", list.size());
  std::printf("simple_peak_bytes_per_message %.2f\n", double(gPeak - base) / count);
  std::printf("simple_kept_bytes_per_message %.2f\n", double(gInUse - base) / count);

  // Accumulator operations: an accumulator of every message against a found set of every
  // other one.
  std::vector<int> every, halves;
  for (int n = 0; n < messages.Count(); ++n) {
    every.push_back(n);
    if (n % 2 == 0) halves.push_back(n);
  }
  const char* names[] = {"union", "intersection", "not_intersection", "exception"};
  for (int op = 0; op < 4; ++op) {
    Accumulator acc;
    acc.Union(every);
    t = Clock::now();
    switch (op) {
      case 0:
        acc.Union(halves);
        break;
      case 1:
        acc.Intersection(halves);
        break;
      case 2:
        acc.NotIntersection(halves);
        break;
      default:
        acc.Exception(halves);
        break;
    }
    std::printf("acc_%s_ms %.2f members %zu\n", names[op], Seconds(t) * 1000, acc.Count());
  }
  {
    size_t before = gInUse;
    Accumulator acc;
    acc.Union(every);
    std::printf("acc_bytes_per_member %.2f\n", double(gInUse - before) / double(acc.Count()));
  }
  return 0;
}
