# The desktop window: widgets, .ui files and Qt adapters of every subsystem build into
# vorlin_ui, which the `vorlin` executable and the window tests link.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTOUIC ON)
set(CMAKE_AUTORCC ON)

add_library(vorlin_ui STATIC ${VORLIN_UI_SOURCES} ${CMAKE_SOURCE_DIR}/resources/vorlin.qrc)
# The generated ui_*.h headers are part of the pages' headers, so users of vorlin_ui see them.
target_include_directories(vorlin_ui PUBLIC ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_CURRENT_BINARY_DIR}/vorlin_ui_autogen/include)
set_target_properties(vorlin_ui PROPERTIES AUTOUIC_SEARCH_PATHS "${CMAKE_SOURCE_DIR}/src")
target_link_libraries(vorlin_ui PUBLIC vorlin_core Qt6::Core Qt6::Gui Qt6::Widgets)

add_executable(vorlin ${CMAKE_SOURCE_DIR}/src/shell/main.cpp)
target_link_libraries(vorlin PRIVATE vorlin_ui)

# Speech audio on the sound device: Qt Multimedia without widgets, so that vorlin-cli can
# play through it too.
find_package(Qt6 REQUIRED COMPONENTS Multimedia)
add_library(vorlin_audio STATIC ${CMAKE_SOURCE_DIR}/src/speech/qt_audio_player.cpp)
set_target_properties(vorlin_audio PROPERTIES AUTOUIC OFF)
target_link_libraries(vorlin_audio PUBLIC vorlin_core Qt6::Core Qt6::Multimedia)
target_link_libraries(vorlin_ui PUBLIC vorlin_audio)
target_link_libraries(vorlin-cli PRIVATE vorlin_audio)
target_compile_definitions(vorlin-cli PRIVATE VORLIN_DEVICE_AUDIO=1)
