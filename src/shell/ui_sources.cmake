list(APPEND VORLIN_UI_SOURCES
  src/shell/about_page.cpp
  src/shell/app_options.cpp
  src/shell/settings_io.cpp
  src/shell/tmain.cpp
  src/shell/tmain_lifecycle.cpp
  src/shell/vorlin_application.cpp)
