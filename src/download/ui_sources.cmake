list(APPEND VORLIN_UI_SOURCES
  src/download/downloads_page.cpp
  src/download/downloads_page_discovery.cpp
  src/download/downloads_page_opml.cpp
  src/download/downloads_run.cpp
  src/download/fetch_runner.cpp
  src/download/text_drop.cpp
  src/download/float_window.cpp)
