set(VORLIN_CLI_SOURCES
  src/cli/cli_common.cpp
  src/cli/store_commands.cpp)
