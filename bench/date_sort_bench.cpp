// The sort of found messages by channel and date: 200,000 messages in 300 channels, dated as
// the benchmark corpus dates them (RFC 822 with +0300, GMT, -0500 or +0000), sorted from store
// order. Built twice: against the program's date reading and against the reading it replaced
// (bench/rss_date_before.cpp). Usage: PROGRAM [MESSAGES]. Prints "sort_seconds BEST" (processor
// time, best of 7) and "order CHECKSUM".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "reader/message_sort.h"

// The processor time of this thread: the machine running the benchmarks is shared, and waiting
// for a processor is no part of the sort.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int main(int argc, char** argv) {
  using namespace vorlin;
  const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
  static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const char* const kZones[] = {"+0300", "GMT", "-0500", "+0000"};
  unsigned long long seed = 1;
  auto next = [&seed](unsigned mod) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<unsigned>(seed >> 33) % mod;
  };
  MessageList messages;
  for (int i = 0; i < count; ++i) {
    char date[64];
    std::snprintf(date, sizeof date, "%s, %02u %s %u %02u:%02u:%02u %s", kDays[next(7)],
                  1 + next(28), kMonths[next(12)], 2005 + next(22), next(24), next(60), next(60),
                  kZones[next(4)]);
    char channel[32];  // no title the start of another, as in most stores
    std::snprintf(channel, sizeof channel, "Channel %03u", next(300));
    messages.Add({channel, "title", "link", "description", date});
  }
  double best = 1e9;
  std::vector<int> list;
  for (int run = 0; run < 7; ++run) {
    list.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) list[static_cast<size_t>(i)] = i;
    const double start = CpuSeconds();
    SortByChannelAndDate(messages, list);
    best = std::min(best, CpuSeconds() - start);
  }
  unsigned long long checksum = 0;
  for (int n : list) checksum = checksum * 31 + static_cast<unsigned>(n);
  std::printf("sort_seconds %.4f\norder %llu\n", best, checksum);
  return 0;
}
