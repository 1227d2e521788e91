# What `cmake --install` puts where, in the GNU install directories: the three programs, the
# desktop entry with its chart file type, the icon, the AppStream metainfo and the manual
# pages. The Debian package (package.cmake) is built from these same rules.
include(GNUInstallDirs)
set(ZANTREL_APP_ID org.zantrel.Zantrel)
set(install_data ${PROJECT_SOURCE_DIR}/data)

install(TARGETS zantrel zantrel-cli zantrel-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${install_data}/${ZANTREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${install_data}/${ZANTREL_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${ZANTREL_APP_ID}.xml)
configure_file(${install_data}/${ZANTREL_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${ZANTREL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/${ZANTREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNG sizes are rendered from the SVG once and committed (scripts/render_icons.sh).
set(install_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${install_data}/icons/${ZANTREL_APP_ID}.svg DESTINATION ${install_icons}/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${install_data}/icons/${ZANTREL_APP_ID}-${size}.png
          DESTINATION ${install_icons}/${size}x${size}/apps RENAME ${ZANTREL_APP_ID}.png)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages: help2man turns each program's --help and --version into a page, with the
# sections of data/man/<program>.h2m added, and for zantrel-cli every command's --help.
# Sanitizer builds skip them: their programs may report leaks of the toolkit at exit, and
# nobody installs such a build.
find_program(HELP2MAN help2man)
if(HELP2MAN AND NOT ZANTREL_SANITIZE)
  set(install_commands ${PROJECT_BINARY_DIR}/man/zantrel-cli-commands.h2m)
  add_custom_command(
    OUTPUT ${install_commands}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:zantrel-cli> -DOUTPUT=${install_commands}
            -P ${CMAKE_CURRENT_LIST_DIR}/command_help.cmake
    DEPENDS zantrel-cli ${CMAKE_CURRENT_LIST_DIR}/command_help.cmake
    VERBATIM)
  set(install_pages)
  foreach(program zantrel zantrel-cli zantrel-sim)
    set(install_page ${PROJECT_BINARY_DIR}/man/${program}.1)
    set(install_includes ${install_data}/man/${program}.h2m)
    if(program STREQUAL "zantrel-cli")
      list(APPEND install_includes ${install_commands})
    endif()
    list(TRANSFORM install_includes PREPEND "--include=" OUTPUT_VARIABLE install_options)
    add_custom_command(
      OUTPUT ${install_page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info ${install_options} --output=${install_page}
              $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${install_page}
      DEPENDS ${program} ${install_includes}
      COMMENT "Manual page of ${program}"
      VERBATIM)
    list(APPEND install_pages ${install_page}.gz)
  endforeach()
  add_custom_target(man ALL DEPENDS ${install_pages})
  install(FILES ${install_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
elseif(NOT ZANTREL_SANITIZE)
  message(WARNING "help2man not found: no manual pages (Debian package help2man)")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
