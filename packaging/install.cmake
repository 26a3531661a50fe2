# cmake --install: the game under bin/, its generated res/ under share/solverica/ (the
# game finds it there from bin/), and the desktop entry, the icons in the hicolor sizes,
# the AppStream metainfo and the manual page where desktops and man look for them.
# Included by the top CMakeLists. The Debian package (tools/package.sh) sets
# CMAKE_INSTALL_BINDIR=games and SOLVERICA_DATA_DIR=share/games/solverica.
include(GNUInstallDirs)

set(SOLVERICA_APP_ID io.github.solverica.Solverica)
set(SOLVERICA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/solverica CACHE STRING
    "Folder of the game's data (res/) under the install prefix")
set(SOLVERICA_ICON_SIZES 16 22 24 32 48 64 128 256)

# The data folder as seen from the installed executable's folder.
file(RELATIVE_PATH solverica_data_from_bin /${CMAKE_INSTALL_BINDIR} /${SOLVERICA_DATA_DIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/user_paths.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS SOLVERICA_DATA_FROM_BIN="${solverica_data_from_bin}")

# The manual page carries the version; the flags it documents are checked against --help.
configure_file(${CMAKE_SOURCE_DIR}/packaging/solverica.6.in ${CMAKE_BINARY_DIR}/solverica.6 @ONLY)

# First of all: a build without its generated data would install a game that starts
# to a blank screen, so the install stops and says what is missing.
install(CODE "set(solverica_res \"${CMAKE_BINARY_DIR}/res\")
set(solverica_icon_sizes \"${SOLVERICA_ICON_SIZES}\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/packaging/check_data.cmake)

install(TARGETS solverica RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The build folder's save file, the tests' own small assets, the desktop icons and the
# generator's stamp stay behind: an installed game keeps its save file under $XDG_DATA_HOME.
install(DIRECTORY ${CMAKE_BINARY_DIR}/res DESTINATION ${SOLVERICA_DATA_DIR}
  PATTERN "save.dat*" EXCLUDE
  PATTERN ".contentgen.stamp" EXCLUDE
  REGEX "/res/test$" EXCLUDE
  REGEX "/res/icons$" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${SOLVERICA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${SOLVERICA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS SOLVERICA_ICON_SIZES)
  install(FILES ${CMAKE_BINARY_DIR}/res/icons/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${SOLVERICA_APP_ID}.png)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/solverica.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
