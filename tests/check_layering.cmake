# Fails when a source file includes a header of a layer above its own. The
# layers from the top: app, dialogs, tools, canvas, engine, codecs; a layer
# may include any layer below it. The language engine stands alone. That engine and codecs
# use no QtWidgets header is kept by their library targets, which do not link
# QtWidgets at all.
# Run as: cmake -DSOURCE_DIR=<src> -P check_layering.cmake

set(forbidden_codecs "app|dialogs|tools|canvas|engine|i18n")
set(forbidden_engine "app|dialogs|tools|canvas|i18n")
set(forbidden_canvas "app|dialogs|tools|i18n")
set(forbidden_tools "app|dialogs")
set(forbidden_dialogs "app")
set(forbidden_i18n "app|dialogs|tools|canvas|engine|codecs")

set(violations "")
foreach(layer codecs engine canvas tools dialogs i18n)
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
