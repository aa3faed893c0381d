// The window tests need one application object for the whole run, with the program's own
// error handling; errors are collected instead of shown in a box nobody would close.
#include <gtest/gtest.h>

#include "shell/vorlin_application.h"
#include "test_exit.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int result = 0;
  {
    vorlin::VorlinApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  vorlin::test::LeaveBeforeGlobals(result);
}
