# The log and the live library loader, tested against a real dlopen of test
# doubles of the live library. Built only when the loader's own libraries are
# (a build narrowed to src/importers/sceneapi leaves out src/livelink).
if(TARGET quorelllive_loader AND TARGET installation AND TARGET platform)
  set(live_doubles_dir ${CMAKE_BINARY_DIR}/tests/live-library-doubles)
  foreach(variant normal null no_entry)
    set(double live_library_double_${variant})
    add_library(${double} MODULE ${CMAKE_CURRENT_LIST_DIR}/LiveLibraryDouble.cpp)
    target_include_directories(${double} PRIVATE ${QUORELL_SRC})
    string(TOUPPER ${variant} variant_upper)
    target_compile_definitions(${double} PRIVATE LIVE_DOUBLE_${variant_upper})
    # Each variant in its own folder under the name the loader looks for.
    set_target_properties(${double} PROPERTIES
      PREFIX "" OUTPUT_NAME orvquorelllive6_64 SUFFIX ".so"
      LIBRARY_OUTPUT_DIRECTORY ${live_doubles_dir}/${variant})
  endforeach()

  quorell_add_test(loader_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/LogTest.cpp ${CMAKE_CURRENT_LIST_DIR}/LoaderTest.cpp
    LIBS quorelllive_loader)
  # The suites share the registry and installation fixtures of tests/.
  target_include_directories(loader_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(loader_tests PRIVATE
    LIVE_DOUBLES_DIR="${live_doubles_dir}")
  add_dependencies(loader_tests
    live_library_double_normal live_library_double_null live_library_double_no_entry)
endif()
