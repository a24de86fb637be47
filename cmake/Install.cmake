# What `cmake --install` puts beside the two programs (their own install rules sit with their
# targets): the desktop entry, the icon, the project file type, tgw's manual page and its bash
# completion. The manual page and the completion are made from tgw's own --help texts, so they
# always list the options the built tgw has.
include(GNUInstallDirs)

set(TGW_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)

add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/tgw.1 ${CMAKE_BINARY_DIR}/tgw.bash-completion
    COMMAND /usr/bin/python3 ${TGW_PACKAGING}/tgw_docs.py $<TARGET_FILE:tgw> ${PROJECT_VERSION}
            ${CMAKE_BINARY_DIR}/tgw.1 ${CMAKE_BINARY_DIR}/tgw.bash-completion
    DEPENDS tgw ${TGW_PACKAGING}/tgw_docs.py
    COMMENT "Manual page and bash completion of tgw"
    VERBATIM)
add_custom_target(tgw_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/tgw.1 ${CMAKE_BINARY_DIR}/tgw.bash-completion)

install(FILES ${CMAKE_BINARY_DIR}/tgw.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/tgw.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tgw)

if(TGW_GUI)
    install(FILES ${TGW_PACKAGING}/tessaglyphworks.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${TGW_PACKAGING}/tessaglyphworks-mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tessaglyphworks.xml)
    install(FILES ${TGW_PACKAGING}/icons/tessaglyphworks.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES ${TGW_PACKAGING}/icons/tessaglyphworks-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME tessaglyphworks.png)
    endforeach()
endif()
