# Run by cpack on its staging folder before it builds the Debian package:
# Debian keeps games in /usr/games, while `cmake --install` keeps the usual
# bin/. The game finds its data from either through ../share/kestova.
set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
if(NOT EXISTS "${stage}/usr/bin/kestova")
  message(FATAL_ERROR "no usr/bin/kestova under the staging folder ${stage}")
endif()
file(MAKE_DIRECTORY "${stage}/usr/games")
file(RENAME "${stage}/usr/bin/kestova" "${stage}/usr/games/kestova")
file(REMOVE_RECURSE "${stage}/usr/bin")
