# Fails when a file of a lower folder of src/ includes a header of a higher
# one. Run as a test: cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
#
# The folders from the bottom up; each may include its own and those below.
set(layers platform widgets core views reports app)

set(faults "")
foreach(layer IN LISTS layers)
  list(FIND layers ${layer} rank)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/.*" "\\1" used "${line}")
      list(FIND layers ${used} usedRank)
      if(usedRank GREATER rank)
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
        string(APPEND faults "  ${shown} (${layer}) includes ${used}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes against the layers (${layers}, bottom to top):\n${faults}")
endif()
message(STATUS "Every include points down the layers: ${layers}")
