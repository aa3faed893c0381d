// How the test programs that open the window or the sound device end.
#pragma once

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace vorlin::test {

// Call once the application object is gone. Qt Multimedia's PulseAudio connection is a global,
// torn down after main returns; the audio library has failed an assertion of its own there (seen
// under the sanitizer), after every test had passed. The run leaves before the globals go, leak
// check first.
[[noreturn]] inline void LeaveBeforeGlobals(int result) {
#if defined(__SANITIZE_ADDRESS__)
  __lsan_do_leak_check();
#endif
  std::fflush(nullptr);
  std::_Exit(result);
}

}  // namespace vorlin::test
