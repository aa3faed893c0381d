find_package(GTest REQUIRED)
include(GoogleTest)

# vorlin_add_test(NAME name SOURCES ... [LIBS ...]): one GoogleTest binary per subsystem folder.
function(vorlin_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE vorlin_core GTest::gtest GTest::gtest_main ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    VORLIN_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    VORLIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VORLIN_CLI="$<TARGET_FILE:vorlin-cli>")
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
