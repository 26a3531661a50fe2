# cmake --install: the game under bin/, its generated res/ under share/solverica/ (the
# game finds it there from bin/), and the desktop entry, icon and AppStream metainfo
# where desktops look for them. Included by the top CMakeLists.
include(GNUInstallDirs)

set(SOLVERICA_APP_ID io.github.solverica.Solverica)
set(SOLVERICA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/solverica)

# The data folder as seen from the installed executable's folder.
file(RELATIVE_PATH solverica_data_from_bin /${CMAKE_INSTALL_BINDIR} /${SOLVERICA_DATA_DIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/user_paths.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS SOLVERICA_DATA_FROM_BIN="${solverica_data_from_bin}")

install(TARGETS solverica RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The build folder's save file, the tests' own small assets and the generator's stamp
# stay behind: an installed game keeps its save file under $XDG_DATA_HOME.
install(DIRECTORY ${CMAKE_BINARY_DIR}/res DESTINATION ${SOLVERICA_DATA_DIR}
  PATTERN "save.dat*" EXCLUDE
  PATTERN ".contentgen.stamp" EXCLUDE
  REGEX "/res/test$" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${SOLVERICA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${SOLVERICA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/res/icon.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME ${SOLVERICA_APP_ID}.png)
