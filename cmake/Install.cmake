# The desktop install: the game and its data files together in lib/morvane/, a launcher link
# in bin/, the desktop entry, the AppStream metadata and the icon in the hicolor theme.
include(GNUInstallDirs)

# The game looks for its level files next to its real executable, so they stay together in a
# private folder (lib/morvane, not the multiarch library folder: nothing in it is a library).
set(MORVANE_INSTALL_APPDIR lib/morvane)

set(MORVANE_INSTALLED_DATA ${MORVANE_BIN_DIR}/Levels.res)
foreach(level RANGE 1 7)
    list(APPEND MORVANE_INSTALLED_DATA ${MORVANE_BIN_DIR}/Level${level}.res)
endforeach()

install(TARGETS morvane RUNTIME DESTINATION ${MORVANE_INSTALL_APPDIR})
install(FILES ${MORVANE_INSTALLED_DATA} DESTINATION ${MORVANE_INSTALL_APPDIR})

# A relative link, so that the installed tree can move; Qt finds the real folder through
# /proc/self/exe.
file(RELATIVE_PATH MORVANE_LAUNCHER_TARGET
     /${CMAKE_INSTALL_BINDIR} /${MORVANE_INSTALL_APPDIR}/morvane)
install(CODE "
    set(launcher \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/morvane\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${launcher}\")
    file(CREATE_LINK \"${MORVANE_LAUNCHER_TARGET}\" \"\${launcher}\" SYMBOLIC)
    message(STATUS \"Installing: \${launcher} -> ${MORVANE_LAUNCHER_TARGET}\")
")

install(FILES ${CMAKE_SOURCE_DIR}/dist/org.morvane.Morvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.morvane.Morvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${MORVANE_GENERATED_DIR}/icons/hicolor/${size}x${size}/apps/morvane.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
