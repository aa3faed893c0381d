#include "util/process_clock.h"

#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace vorlin {

double SecondsSinceProcessStart() {
  // Field 22 of /proc/self/stat is the start time in clock ticks since boot; the command name
  // (field 2) may hold blanks, so count from the ")" that closes it.
  std::ifstream in("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  const long ticks = ::sysconf(_SC_CLK_TCK);
  timespec now{};
  if (!fields || ticks <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
  const double started = std::stod(field) / static_cast<double>(ticks);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - started;
}

}  // namespace vorlin
