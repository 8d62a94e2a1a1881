# remindo-data starts without Qt and without libical (and its ICU): neither
# among the libraries it needs; each comes with its own module at need.
#   cmake -DTOOL=<remindo-data> -P no_qt_needed.cmake
execute_process(COMMAND readelf -d ${TOOL} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf cannot read ${TOOL}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
if(NOT needed)
  message(FATAL_ERROR "${TOOL} names no libraries at all: not the dynamic program expected")
endif()
foreach(line IN LISTS needed)
  if(line MATCHES "libQt|libical|libicu")
    message(FATAL_ERROR "${TOOL} needs more than it should at start: ${line}")
  endif()
endforeach()
