# Both programs, and what a desktop needs to list, start and open files with them.
include(GNUInstallDirs)

set(QUELVANE_APP_ID org.quelvane.CadrelantGenerator)
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS quelvane quelvane-roll RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${desktop_dir}/${QUELVANE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_dir}/${QUELVANE_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_dir}/${QUELVANE_APP_ID}.mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${QUELVANE_APP_ID}.xml)

install(FILES ${desktop_dir}/icons/${QUELVANE_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 64 128 256)
    install(FILES ${desktop_dir}/icons/${QUELVANE_APP_ID}-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${QUELVANE_APP_ID}.png)
endforeach()

# Man pages carry the project's version and are installed compressed, as Debian wants them.
set(man_pages)
foreach(page quelvane quelvane-roll)
    set(page_file ${CMAKE_BINARY_DIR}/man/${page}.1)
    configure_file(${desktop_dir}/man/${page}.1.in ${page_file} @ONLY)
    add_custom_command(OUTPUT ${page_file}.gz
        COMMAND gzip -9nf -k ${page_file}
        DEPENDS ${page_file}
        COMMENT "Compressing ${page}.1"
        VERBATIM)
    list(APPEND man_pages ${page_file}.gz)
endforeach()
# Built with the program, so an install after `make run` finds them.
add_custom_target(quelvane_man_pages DEPENDS ${man_pages})
add_dependencies(quelvane quelvane_man_pages)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${desktop_dir}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A package's triggers refresh the desktop's caches; an install straight into a prefix has to
# do it itself. Staged installs (DESTDIR, as cpack makes them) leave that to the package.
install(CODE [[
    if(NOT DEFINED ENV{DESTDIR} OR "$ENV{DESTDIR}" STREQUAL "")
        set(share "${CMAKE_INSTALL_PREFIX}/share")
        foreach(step "update-mime-database;${share}/mime"
                     "update-desktop-database;-q;${share}/applications"
                     "gtk-update-icon-cache;-q;-t;-f;${share}/icons/hicolor")
            list(POP_FRONT step tool)
            find_program(tool_path ${tool})
            if(tool_path)
                execute_process(COMMAND ${tool_path} ${step})
            endif()
            unset(tool_path CACHE)
            unset(tool_path)
        endforeach()
    endif()
]])
