list(APPEND VORLIN_UI_SOURCES
  src/reader/search_page.cpp
  src/reader/background_work.cpp
  src/reader/search_export.cpp
  src/reader/reading_page.cpp
  src/reader/reading_navigation.cpp
  src/reader/message_list_model.cpp
  src/reader/search_channels.cpp
  src/reader/export_options_dialog.cpp
  src/reader/file_exists_prompt.cpp)
