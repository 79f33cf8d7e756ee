# Fails when a source of the add-in or the converter includes a host header other
# than the interface headers (<Core/...>, <Fusion/...>): those would not exist
# when the add-in is built against the real host's SDK.
file(GLOB_RECURSE sources ${SOURCE_DIR}/src/addin/*.h ${SOURCE_DIR}/src/addin/*.cpp
     ${SOURCE_DIR}/src/convert/*.h ${SOURCE_DIR}/src/convert/*.cpp)
set(bad "")
foreach(source ${sources})
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(line MATCHES "[\"<]host/")
      string(APPEND bad "\n  ${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "host machinery included by the add-in:${bad}")
endif()
list(LENGTH sources count)
if(count LESS 10)
  message(FATAL_ERROR "expected the add-in and converter sources under ${SOURCE_DIR}/src")
endif()
