list(APPEND VORLIN_UI_SOURCES
  src/app/control_state.cpp
  src/app/error_report.cpp
  src/app/html_view.cpp
  src/app/status_line.cpp
  src/app/window_texts.cpp)
