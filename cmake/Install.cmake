# The desktop install: the game and its data files together in one private folder, a launcher
# link on the PATH, the desktop entry, the AppStream metadata with its screenshots and the icon in
# the hicolor theme.
include(GNUInstallDirs)

# The game looks for its level files next to its real executable, so they stay together in a
# private folder (lib/morvane, not the multiarch library folder: nothing in it is a library).
# Distributions that keep games apart set these, e.g. lib/games/morvane and games.
set(MORVANE_INSTALL_APPDIR lib/morvane CACHE STRING
    "Folder, relative to the prefix, for the game and its data files")
set(MORVANE_INSTALL_LAUNCHERDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Folder, relative to the prefix, for the launcher link")

set(MORVANE_INSTALLED_DATA ${MORVANE_BIN_DIR}/Levels.res)
foreach(level RANGE 1 7)
    list(APPEND MORVANE_INSTALLED_DATA ${MORVANE_BIN_DIR}/Level${level}.res)
endforeach()

install(TARGETS morvane RUNTIME DESTINATION ${MORVANE_INSTALL_APPDIR})
install(FILES ${MORVANE_INSTALLED_DATA} DESTINATION ${MORVANE_INSTALL_APPDIR})

# A relative link, so that the installed tree can move; Qt finds the real folder through
# /proc/self/exe.
file(RELATIVE_PATH MORVANE_LAUNCHER_TARGET
     /${MORVANE_INSTALL_LAUNCHERDIR} /${MORVANE_INSTALL_APPDIR}/morvane)
install(CODE "
    set(launcher \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${MORVANE_INSTALL_LAUNCHERDIR}/morvane\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${MORVANE_INSTALL_LAUNCHERDIR}\")
    file(REMOVE \"\${launcher}\")
    file(CREATE_LINK \"${MORVANE_LAUNCHER_TARGET}\" \"\${launcher}\" SYMBOLIC)
    message(STATUS \"Installing: \${launcher} -> ${MORVANE_LAUNCHER_TARGET}\")
")

install(FILES ${CMAKE_SOURCE_DIR}/dist/org.morvane.Morvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.morvane.Morvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The screenshots the metadata names by their file names, published with each release.
if(MORVANE_SCREENSHOT_FILES)
    install(FILES ${MORVANE_SCREENSHOT_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/morvane/screenshots)
endif()
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${MORVANE_GENERATED_DIR}/icons/hicolor/${size}x${size}/apps/morvane.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
