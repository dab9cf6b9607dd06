# The installed tree: the program and its language library side by side in
# <prefix>/lib/velmora (the program looks for lang.dll beside its resolved
# executable), a link to it in <prefix>/bin, a launcher entry and the icon in
# the hicolor theme. The prefix may be chosen at install time.

set(VELMORA_APP_DIR lib/velmora)

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
install(CODE "set(VELMORA_DESKTOP_TEMPLATE \"${CMAKE_SOURCE_DIR}/resources/desktop/velmora.desktop.in\")")
install(CODE [[
  set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/velmora.desktop")
  configure_file("${VELMORA_DESKTOP_TEMPLATE}" "${target}" @ONLY)
  message(STATUS "Installing: ${target}")
]])

foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/app/velmora_${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME velmora.png)
endforeach()
