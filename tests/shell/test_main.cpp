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
  // Never destroyed: the audio library behind Qt Multimedia can fail an assertion of its own
  // while its connection is torn down at exit (seen under the sanitizer), after every test has
  // passed. The run leaves without tearing anything down, leak check first.
  auto* app = new vorlin::VorlinApplication(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
  __lsan_do_leak_check();
#endif
  static_cast<void>(app);
  std::fflush(nullptr);
  std::_Exit(result);
}
