set(VORLIN_CLI_SOURCES
  src/cli/cli_common.cpp
  src/cli/store_commands.cpp
  src/cli/ingest_commands.cpp
  src/cli/demo_command.cpp
  src/cli/download_command.cpp
  src/cli/update_command.cpp
  src/cli/search_command.cpp
  src/cli/search_args.cpp
  src/cli/export_command.cpp
  src/cli/speak_command.cpp
  src/cli/opml_commands.cpp
  src/cli/discover_command.cpp)
# The demo copies the sample feeds of the source tree unless given --samples.
set_source_files_properties(src/cli/demo_command.cpp PROPERTIES
  COMPILE_DEFINITIONS VORLIN_SAMPLES_DIR="${CMAKE_SOURCE_DIR}/samples/feeds")
