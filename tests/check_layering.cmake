# Fails when a source file includes a header of a layer above its own: the
# canvas knows nothing of the tool windows or the application, the tool
# windows nothing of the application, and the language engine nothing of ours.
# Run as: cmake -DSOURCE_DIR=<src> -P check_layering.cmake

set(forbidden_canvas "app|tools|i18n")
set(forbidden_tools "app")
set(forbidden_i18n "app|tools|canvas")

set(violations "")
foreach(layer canvas tools i18n)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(file ${files})
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](${forbidden_${layer}})/")
    foreach(line ${lines})
      list(APPEND violations "${file}: ${line}")
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" report)
  message(FATAL_ERROR "Includes against the layering:\n${report}")
endif()
message(STATUS "Layering holds")
