# The installed tree: the program and its language library side by side in
# <prefix>/lib/velmora (the program looks for lang.dll beside its resolved
# executable), a link to it in <prefix>/bin, a launcher entry, the icon in the
# hicolor theme, the software-centre metadata, the manual page and the
# copyright and changelog. The prefix may be chosen at install time.

set(VELMORA_APP_DIR lib/velmora)
set(VELMORA_APP_ID org.example.velmora)

install(TARGETS velmora RUNTIME DESTINATION ${VELMORA_APP_DIR})
install(FILES ${VELMORA_LANG_DLL} DESTINATION ${VELMORA_APP_DIR})

install(CODE [[
  set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  file(MAKE_DIRECTORY "${prefix}/bin")
  file(REMOVE "${prefix}/bin/velmora")
  file(CREATE_LINK "../lib/velmora/velmora" "${prefix}/bin/velmora" SYMBOLIC)
  message(STATUS "Installing: ${prefix}/bin/velmora -> ../lib/velmora/velmora")
  set(VELMORA_EXECUTABLE "${CMAKE_INSTALL_PREFIX}/bin/velmora")
]])
install(CODE "set(VELMORA_DESKTOP_TEMPLATE \"${CMAKE_SOURCE_DIR}/resources/desktop/${VELMORA_APP_ID}.desktop.in\")
  set(VELMORA_APP_ID ${VELMORA_APP_ID})")
install(CODE [[
  set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/${VELMORA_APP_ID}.desktop")
  configure_file("${VELMORA_DESKTOP_TEMPLATE}" "${target}" @ONLY)
  message(STATUS "Installing: ${target}")
]])

foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/app/velmora_${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME velmora.png)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${VELMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Manual pages and changelogs are installed compressed, without a time stamp
# in the gzip header so that two builds give the same files.
set(VELMORA_COMPRESSED)
foreach(source resources/man/velmora.1 resources/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/doc/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${CMAKE_SOURCE_DIR}/${source} ${output}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND VELMORA_COMPRESSED ${output})
endforeach()
add_custom_target(velmora_docs ALL DEPENDS ${VELMORA_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/doc/velmora.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz ${CMAKE_SOURCE_DIR}/resources/debian/copyright
  DESTINATION share/doc/velmora)
