# Installs the build into a fresh prefix and checks the tree a launcher
# needs. Run as: cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch> -P check_install.cmake

set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  lib/velmora/velmora
  lib/velmora/lang.dll
  bin/velmora
  share/applications/org.example.velmora.desktop
  share/metainfo/org.example.velmora.metainfo.xml
  share/man/man1/velmora.1.gz
  share/doc/velmora/copyright
  share/doc/velmora/changelog.gz)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/velmora.png)
endforeach()
foreach(file ${expected})
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "missing from the installed tree: ${file}")
  endif()
endforeach()

if(NOT IS_SYMLINK "${prefix}/bin/velmora")
  message(FATAL_ERROR "bin/velmora is not a link")
endif()
file(READ_SYMLINK "${prefix}/bin/velmora" link)
if(NOT link STREQUAL "../lib/velmora/velmora")
  message(FATAL_ERROR "bin/velmora points to ${link}")
endif()

file(READ "${prefix}/share/applications/org.example.velmora.desktop" desktop)
if(NOT desktop MATCHES "Exec=${prefix}/bin/velmora %f")
  message(FATAL_ERROR "the launcher does not start the installed program:\n${desktop}")
endif()
# Each checker must pass and say nothing beyond its success line.
function(check_silent name)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[^\n]*Validation was successful[^\n]*\n?" "" out "${out}")
  string(STRIP "${out}" out)
  if(NOT result EQUAL 0 OR out)
    message(FATAL_ERROR "${name}: ${out}")
  endif()
endfunction()
check_silent(desktop-file-validate desktop-file-validate "${prefix}/share/applications/org.example.velmora.desktop")
check_silent(appstreamcli appstreamcli validate --no-net "${prefix}/share/metainfo/org.example.velmora.metainfo.xml")
check_silent(groff sh -c "zcat \"$1\" | groff -man -ww -z" sh "${prefix}/share/man/man1/velmora.1.gz")

file(READ "${prefix}/share/metainfo/org.example.velmora.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">org.example.velmora.desktop</launchable>")
  message(FATAL_ERROR "the software-centre entry does not name the installed launcher")
endif()

execute_process(COMMAND "${prefix}/bin/velmora" --version OUTPUT_VARIABLE version RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version STREQUAL "Velmora 2.1\n")
  message(FATAL_ERROR "velmora --version gave ${result}: ${version}")
endif()
# Every option, variable and per-user file the manual lists is in the help.
execute_process(COMMAND zcat "${prefix}/share/man/man1/velmora.1.gz" OUTPUT_VARIABLE manual)
execute_process(COMMAND "${prefix}/bin/velmora" --help OUTPUT_VARIABLE help)
string(REGEX MATCHALL "\n\\.TP\n\\.[BI] [^\n]+" items "${manual}")
list(LENGTH items count)
if(count LESS 6)
  message(FATAL_ERROR "the manual lists only ${count} items")
endif()
foreach(item ${items})
  string(REGEX REPLACE "^\n\\.TP\n\\.[BI] " "" item "${item}")
  string(REPLACE "\\-" "-" item "${item}")
  string(FIND "${help}" "${item}" at)
  if(at EQUAL -1 AND NOT item MATCHES "^/usr/")
    message(FATAL_ERROR "velmora --help does not mention ${item}")
  endif()
endforeach()
message(STATUS "Installed tree is complete")
