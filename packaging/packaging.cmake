# Installation (`cmake --install`) and the Debian package (`make package`, CPack).
include(GNUInstallDirs)

install(TARGETS vorlin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vorlin)
  install(TARGETS vorlin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(_pkg ${CMAKE_SOURCE_DIR}/packaging)
set(_app_id org.vorlin.Vorlin)
install(FILES ${_pkg}/${_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_pkg}/${_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${_pkg}/icons/vorlin-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${_app_id}.png)
endforeach()
install(FILES ${_pkg}/icons/vorlin.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${_app_id}.svg)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/feeds DESTINATION ${CMAKE_INSTALL_DATADIR}/vorlin/samples)

# Manual pages and the Debian changelog are installed compressed, as Debian wants them.
set(_gz ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_gz})
foreach(src man/vorlin.1 man/vorlin-cli.1 changelog)
  get_filename_component(_name ${src} NAME)
  if(_name STREQUAL "changelog")
    set(_name changelog.Debian)
  endif()
  add_custom_command(OUTPUT ${_gz}/${_name}.gz
    COMMAND gzip -9n -c ${_pkg}/${src} > ${_gz}/${_name}.gz
    DEPENDS ${_pkg}/${src} VERBATIM)
  list(APPEND _gz_files ${_gz}/${_name}.gz)
endforeach()
add_custom_target(vorlin_compressed_docs ALL DEPENDS ${_gz_files})
install(FILES ${_gz}/vorlin.1.gz ${_gz}/vorlin-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_pkg}/copyright ${_gz}/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${_pkg}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME vorlin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_CONTACT "Vorlin developers <dev@vorlin.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "news aggregator for RSS 2.0 feeds")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vorlin gathers the items of RSS 2.0 feeds, from folders on disk and from
feeds it downloads, into one store file, and lets you search, read, listen
to and export years of news, with Russian and English captions.

The command-line tool vorlin-cli runs the same operations without a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Speech needs its voices, which no library link names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
