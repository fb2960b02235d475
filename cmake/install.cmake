# What `cmake --install` puts where, and the Debian package `cpack -G DEB`
# builds from it. Included from the top-level CMakeLists after the targets.

install(TARGETS kestova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The game finds it here from ../share/kestova (KESTOVA_DATA_FROM_BIN).
install(FILES ${KESTOVA_DATA} DESTINATION ${CMAKE_INSTALL_DATADIR}/kestova)
install(FILES dist/kestova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/kestova.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${KESTOVA_ICONS}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# Manual pages and the Debian changelog are installed compressed.
set(KESTOVA_MAN ${CMAKE_BINARY_DIR}/kestova.6.gz)
set(KESTOVA_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${KESTOVA_MAN}
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/dist/kestova.6 > ${KESTOVA_MAN}
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/kestova.6
  COMMENT "Compressing the manual page")
add_custom_command(OUTPUT ${KESTOVA_CHANGELOG}
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/dist/changelog > ${KESTOVA_CHANGELOG}
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog
  COMMENT "Compressing the changelog")
add_custom_target(kestova_docs ALL DEPENDS ${KESTOVA_MAN} ${KESTOVA_CHANGELOG})
install(FILES ${KESTOVA_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES dist/copyright ${KESTOVA_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestova)

# The package.
if(PROJECT_VERSION)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
else()
  set(CPACK_PACKAGE_VERSION 1.0.0)
endif()
set(CPACK_PACKAGE_NAME kestova)
set(CPACK_PACKAGE_VENDOR "the Kestova developers")
set(CPACK_PACKAGE_CONTACT "Kestova developers <kestova@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player artillery and dogfight game")
# cpack puts the summary first and indents these lines under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Two sides hold an island each on a strip of sea. In the morning the left
side bombs the right side's palm trees from a plane while the right side
defends with a cannon. At noon the roles swap, and in the afternoon both fly
and fight it out in the air. Each side is a person at the shared keyboard
or the computer.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binary itself; the fonts the game draws its
# text in ("Arial" is matched to Liberation Sans) from us.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_layout.cmake)
include(CPack)
