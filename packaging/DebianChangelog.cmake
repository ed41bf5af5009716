# Writes the Debian changelog of the package from the NEWS file.
#
#   cmake -DNEWS=<NEWS> -DOUT=<changelog> -DPACKAGE=valdemor
#         -DVERSION=<project version> -DDATE=<release date> -DMAINTAINER=<name <address>>
#         -P DebianChangelog.cmake
#
# The newest entry must be the release being built, so that the package
# never ships a changelog that stops a version short.

file(STRINGS "${NEWS}" lines ENCODING UTF-8)

# The day of the week of a date, as Debian's changelog wants it (RFC 5322),
# by Zeller's congruence.
function(rfc5322_date iso out)
  string(REGEX MATCH "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$" ok "${iso}")
  if(NOT ok)
    message(FATAL_ERROR "${NEWS}: '${iso}' is no date of the form YYYY-MM-DD")
  endif()
  math(EXPR y "${CMAKE_MATCH_1}")
  math(EXPR m "1${CMAKE_MATCH_2} - 100")
  math(EXPR d "1${CMAKE_MATCH_3} - 100")
  set(zy ${y})
  set(zm ${m})
  if(m LESS 3)
    math(EXPR zy "${y} - 1")
    math(EXPR zm "${m} + 12")
  endif()
  math(EXPR k "${zy} % 100")
  math(EXPR j "${zy} / 100")
  math(EXPR h "(${d} + (13 * (${zm} + 1)) / 5 + ${k} + ${k} / 4 + ${j} / 4 + 5 * ${j}) % 7")
  set(weekdays Sat Sun Mon Tue Wed Thu Fri)
  list(GET weekdays ${h} weekday)
  math(EXPR mi "${m} - 1")
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET months ${mi} month)
  set(${out} "${weekday}, ${CMAKE_MATCH_3} ${month} ${y} 12:00:00 +0000" PARENT_SCOPE)
endfunction()

set(text "")
set(entries 0)
set(in_entry FALSE)
macro(close_entry)
  if(in_entry)
    string(APPEND text "\n -- ${MAINTAINER}  ${entry_date}\n")
  endif()
endmacro()

foreach(line IN LISTS lines)
  if(line MATCHES "^## ([0-9][0-9.]*) \\(([0-9-]+)\\)$")
    set(version ${CMAKE_MATCH_1})
    set(iso ${CMAKE_MATCH_2})
    if(entries EQUAL 0 AND NOT (version STREQUAL VERSION AND iso STREQUAL DATE))
      message(FATAL_ERROR "${NEWS}: the newest entry is ${version} (${iso}); "
        "this release is ${VERSION} (${DATE})")
    endif()
    close_entry()
    if(entries GREATER 0)
      string(APPEND text "\n")
    endif()
    rfc5322_date(${iso} entry_date)
    string(APPEND text "${PACKAGE} (${version}) unstable; urgency=medium\n\n")
    set(in_entry TRUE)
    math(EXPR entries "${entries} + 1")
  elseif(in_entry AND line MATCHES "^- (.*)$")
    string(APPEND text "  * ${CMAKE_MATCH_1}\n")
  elseif(in_entry AND line MATCHES "^  (.*)$")
    string(APPEND text "    ${CMAKE_MATCH_1}\n")
  elseif(in_entry AND NOT line STREQUAL "")
    message(FATAL_ERROR "${NEWS}: '${line}' is neither a change (\"- \") nor its continuation")
  endif()
endforeach()
close_entry()
if(entries EQUAL 0)
  message(FATAL_ERROR "${NEWS} holds no release")
endif()
file(WRITE "${OUT}" "${text}")
