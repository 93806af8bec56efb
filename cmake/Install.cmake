# Both programs, and what a desktop needs to list, start and open files with them.
include(GNUInstallDirs)

set(QUELVANE_APP_ID org.quelvane.CadrelantGenerator)
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS quelvane quelvane-roll RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Full RELRO, as Debian links its own programs.
foreach(program quelvane quelvane-roll)
    target_link_options(${program} PRIVATE LINKER:-z,relro,-z,now)
endforeach()

install(FILES ${desktop_dir}/${QUELVANE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Started by the session bus when the desktop opens a file or the menu entry while no
# program runs; the desktop entry's Exec stays for desktops without D-Bus activation.
# Its Exec is the program's full path under the prefix chosen at install time.
install(CODE "
    set(CMAKE_INSTALL_FULL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(service \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/services/${QUELVANE_APP_ID}.service\")
    message(STATUS \"Installing: \${service}\")
    configure_file(\"${desktop_dir}/${QUELVANE_APP_ID}.service.in\" \"\${service}\" @ONLY)
")
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

# Man pages carry the project's version. They and the changelog are installed compressed, as
# Debian wants them.
set(man_pages)
foreach(page quelvane quelvane-roll)
    set(page_file ${CMAKE_BINARY_DIR}/man/${page}.1)
    configure_file(${desktop_dir}/man/${page}.1.in ${page_file} @ONLY)
    list(APPEND man_pages ${page_file}.gz)
endforeach()
configure_file(${desktop_dir}/changelog ${CMAKE_BINARY_DIR}/doc/changelog COPYONLY)
set(compressed ${man_pages} ${CMAKE_BINARY_DIR}/doc/changelog.gz)
foreach(file ${compressed})
    string(REGEX REPLACE "\\.gz$" "" plain ${file})
    get_filename_component(name ${plain} NAME)
    add_custom_command(OUTPUT ${file}
        COMMAND gzip -9nf -k ${plain}
        DEPENDS ${plain}
        COMMENT "Compressing ${name}"
        VERBATIM)
endforeach()
# Built with the program, so an install after `make run` finds them.
add_custom_target(quelvane_compressed_docs DEPENDS ${compressed})
add_dependencies(quelvane quelvane_compressed_docs)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${desktop_dir}/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

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

# The one lintian finding the metadata keeps on purpose, with its reason; only for a lintian
# that knows it (Debian 13's), since Debian 12's calls an override of an unknown tag an error.
# Decided as the package is made, after make package has installed lintian.
install(CODE "
    if(EXISTS /usr/share/lintian/tags/a/appstream-metadata-validation-failed.tag)
        file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides\"
             TYPE FILE RENAME quelvane FILES \"${desktop_dir}/lintian-overrides\")
    endif()")
