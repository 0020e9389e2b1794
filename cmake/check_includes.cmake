# Fails when a file in a folder includes a header it may not:
#   cmake -DDIR=<folder> -DALLOWED=<prefix>,<prefix>... [-DSKIP_TESTS=ON]
#         -P check_includes.cmake
# Every #include "..." line of the folder's .h and .cc files must name a
# header under one of the allowed prefixes ("cli/" or "zarnex/", say);
# system headers (#include <...>) are not looked at. With SKIP_TESTS the
# unit tests (*_test.cc) are not looked at either. Each refused line is
# reported as <file>:<line>: before the check fails.
if(NOT DIR OR NOT ALLOWED)
  message(FATAL_ERROR "usage: cmake -DDIR=<folder> -DALLOWED=<a/,b/> -P check_includes.cmake")
endif()
string(REPLACE "," ";" allowed "${ALLOWED}")
file(GLOB files ${DIR}/*.h ${DIR}/*.cc)
if(SKIP_TESTS)
  list(FILTER files EXCLUDE REGEX "_test\\.cc$")
endif()
if(NOT files)
  message(FATAL_ERROR "no .h or .cc files in ${DIR}")
endif()
set(refused 0)
foreach(file IN LISTS files)
  file(STRINGS ${file} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\"")
      set(header ${CMAKE_MATCH_1})
      set(ok FALSE)
      foreach(prefix IN LISTS allowed)
        string(FIND "${header}" "${prefix}" at)
        if(at EQUAL 0)
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        message("${file}:${number}: #include \"${header}\" is not allowed; only ${ALLOWED}")
        math(EXPR refused "${refused} + 1")
      endif()
    endif()
  endforeach()
endforeach()
if(refused GREATER 0)
  message(FATAL_ERROR "${refused} include(s) not allowed under ${DIR}")
endif()
