// The window tests need one application object for the whole run, with the program's own
// error handling; errors are collected instead of shown in a box nobody would close.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "shell/vorlin_application.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int result = 0;
  {
    vorlin::VorlinApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  // Qt Multimedia's PulseAudio connection is a global, torn down after main returns; the audio
  // library has failed an assertion of its own there (seen under the sanitizer), after every
  // test had passed. The run leaves before the globals go, leak check first.
#if defined(__SANITIZE_ADDRESS__)
  __lsan_do_leak_check();
#endif
  std::fflush(nullptr);
  std::_Exit(result);
}
