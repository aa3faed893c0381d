list(APPEND VORLIN_UI_SOURCES
  src/download/downloads_page.cpp
  src/download/float_window.cpp)
