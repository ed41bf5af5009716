# What a module loaded by the program takes from the program itself: the
# symbols the module uses that the program's static libraries define.
#
#   cmake -DNM=<nm> -DMODULE=<module> -DARCHIVES=<a|b|...> -DOUT=<path without suffix> -P ModuleSymbols.cmake
# writes
#   <OUT>.list  for --dynamic-list: the program exports these and no others;
#   <OUT>.rsp   -Wl,--undefined options for the compiler driver (GCC and
#               Clang alike read the file themselves), so that the linker
#               pulls the objects that define them out of the static
#               libraries, even those nothing else in the program calls.
# A file is rewritten only when its contents change, so the program is linked
# again only when the module needs something new.
#
#   cmake -DNM=<nm> -DPROGRAM=<program> -DOUT=<as above> -P ModuleSymbols.cmake
# fails unless the linked program exports every one of them.

cmake_minimum_required(VERSION 3.25)

function(symbols out)
  execute_process(COMMAND "${NM}" ${ARGN} --format=posix OUTPUT_VARIABLE table RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} ${ARGN} failed")
  endif()
  string(REGEX MATCHALL "[^\n]+" lines "${table}")
  set(names "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ :]+) [A-Za-z] ")
      list(APPEND names "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

if(PROGRAM)
  file(STRINGS "${OUT}.list" wanted REGEX "^  ")
  list(TRANSFORM wanted REPLACE "^  ([^;]+);$" "\\1")
  symbols(exported -D --defined-only "${PROGRAM}")
  set(missing ${wanted})
  list(REMOVE_ITEM missing ${exported})
  if(missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "${PROGRAM} does not export what its module needs:\n  ${missing}")
  endif()
  return()
endif()

symbols(used -D --undefined-only "${MODULE}")
string(REPLACE "|" ";" ARCHIVES "${ARCHIVES}")
symbols(defined --defined-only ${ARCHIVES})
set(names ${used})
list(REMOVE_ITEM defined "")
list(FILTER names INCLUDE REGEX "^[^@]+$")
set(ours "")
foreach(name IN LISTS names)
  if(name IN_LIST defined)
    list(APPEND ours "${name}")
  endif()
endforeach()
list(SORT ours)
if(NOT ours)
  message(FATAL_ERROR "${MODULE} takes nothing from the program: not the module that was meant")
endif()

list(JOIN ours ";\n  " listed)
list(JOIN ours "\n-Wl,--undefined=" undefined)
foreach(kind IN ITEMS list rsp)
  if(kind STREQUAL list)
    set(text "{\n  ${listed};\n};\n")
  else()
    set(text "-Wl,--undefined=${undefined}\n")
  endif()
  file(WRITE "${OUT}.${kind}.new" "${text}")
  file(COPY_FILE "${OUT}.${kind}.new" "${OUT}.${kind}" ONLY_IF_DIFFERENT)
  file(REMOVE "${OUT}.${kind}.new")
endforeach()
