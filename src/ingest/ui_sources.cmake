list(APPEND VORLIN_UI_SOURCES
  src/ingest/scan_page.cpp)
