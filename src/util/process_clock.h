// How long this process has been running, for start-up timings.
#pragma once

namespace vorlin {

// Seconds since the process was started (to 1/100 s), or a negative number when the system does
// not say.
double SecondsSinceProcessStart();

}  // namespace vorlin
