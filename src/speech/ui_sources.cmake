list(APPEND VORLIN_UI_SOURCES
  src/speech/speech_page.cpp
  src/speech/running_text_window.cpp)
list(APPEND VORLIN_UI_SOURCES src/speech/speech_controller.cpp)
