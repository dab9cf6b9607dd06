# The language library lang.dll beside the velmora executable. Each language
# is a UTF-8 text file under resources/lang, named after its resource in
# lower case; index.txt lists the resource names in menu order and is itself
# the resource LANGUAGE_RD. lang_payload packs every document into its zlib
# payload, a generated resource script lists the payloads as RCDATA, and
# mingw's windres and ld make a resource-only Windows DLL of them.

find_program(VELMORA_WINDRES x86_64-w64-mingw32-windres REQUIRED)
find_program(VELMORA_MINGW_LD x86_64-w64-mingw32-ld REQUIRED)

add_executable(lang_payload ${CMAKE_SOURCE_DIR}/scripts/lang_payload.cpp)
target_compile_options(lang_payload PRIVATE ${VELMORA_WARNINGS})
target_link_libraries(lang_payload PRIVATE ZLIB::ZLIB)

set(VELMORA_LANG_SOURCES ${CMAKE_SOURCE_DIR}/resources/lang)
set(VELMORA_LANG_BUILD ${CMAKE_BINARY_DIR}/lang)
set(VELMORA_LANG_DLL ${CMAKE_BINARY_DIR}/lang.dll)

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VELMORA_LANG_SOURCES}/index.txt)
file(STRINGS ${VELMORA_LANG_SOURCES}/index.txt lang_resources)

set(lang_payloads)
set(lang_script "")
foreach(resource LANGUAGE_RD ${lang_resources})
  if(resource STREQUAL "LANGUAGE_RD")
    set(document ${VELMORA_LANG_SOURCES}/index.txt)
  else()
    string(TOLOWER ${resource} name)
    set(document ${VELMORA_LANG_SOURCES}/${name}.txt)
  endif()
  set(payload ${VELMORA_LANG_BUILD}/${resource}.z)
  add_custom_command(OUTPUT ${payload}
    COMMAND lang_payload ${document} ${payload}
    DEPENDS lang_payload ${document}
    COMMENT "Packing language resource ${resource}"
    VERBATIM)
  list(APPEND lang_payloads ${payload})
  string(APPEND lang_script "${resource} RCDATA \"${resource}.z\"\n")
endforeach()
file(GENERATE OUTPUT ${VELMORA_LANG_BUILD}/lang.rc CONTENT "${lang_script}")

# windres would hand the script to a mingw C preprocessor, which the mingw
# binutils do not bring; the script has no directives, so cat passes it on.
add_custom_command(OUTPUT ${VELMORA_LANG_BUILD}/lang_res.o
  COMMAND ${VELMORA_WINDRES} --preprocessor=cat -J rc -O coff -i lang.rc -o lang_res.o
  WORKING_DIRECTORY ${VELMORA_LANG_BUILD}
  DEPENDS ${VELMORA_LANG_BUILD}/lang.rc ${lang_payloads}
  VERBATIM)
# No entry point: nothing in the library is ever run.
add_custom_command(OUTPUT ${VELMORA_LANG_DLL}
  COMMAND ${VELMORA_MINGW_LD} --dll -e 0 --no-insert-timestamp -s -o ${VELMORA_LANG_DLL} lang_res.o
  WORKING_DIRECTORY ${VELMORA_LANG_BUILD}
  DEPENDS ${VELMORA_LANG_BUILD}/lang_res.o
  COMMENT "Linking the language library lang.dll"
  VERBATIM)
add_custom_target(lang_dll ALL DEPENDS ${VELMORA_LANG_DLL})
