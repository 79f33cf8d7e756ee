# The Windows build: everything that does not need OpenCASCADE, the MinGW
# runtime libraries beside the programs, and GoogleTest built for Windows
# from Debian's source package.
set(QUORELL_WITH_STEP OFF CACHE BOOL "" FORCE)
set(QUORELL_BUILD_BENCH OFF CACHE BOOL "" FORCE)
if(NOT DEFINED QUORELL_PARTS OR QUORELL_PARTS STREQUAL "all")
  set(QUORELL_PARTS
    "src/platform;src/importers/sceneapi;src/scene;src/livelink;src/host;src/convert;src/addin;tools/livelib;tools/renderer;tools/fusion-sim;e2e"
    CACHE STRING "Folders to build, or all" FORCE)
endif()

# Programs find these DLLs in their own folder, also under Wine.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
  OUTPUT_VARIABLE quorell_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
  OUTPUT_VARIABLE quorell_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
  OUTPUT_VARIABLE quorell_winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(dll ${quorell_libstdcxx} ${quorell_libgcc} ${quorell_winpthread})
  if(NOT IS_ABSOLUTE ${dll} OR NOT EXISTS ${dll})
    message(FATAL_ERROR "MinGW runtime library not found: ${dll}")
  endif()
  file(COPY ${dll} DESTINATION ${CMAKE_BINARY_DIR}/bin)
endforeach()

# tinyxml2 from Debian's source (scripts/setup.sh --windows fetches it).
set(QUORELL_TINYXML2_SOURCE /usr/local/src/tinyxml2 CACHE PATH "tinyxml2 sources")
if(EXISTS ${QUORELL_TINYXML2_SOURCE}/tinyxml2.cpp)
  add_library(tinyxml2_static STATIC ${QUORELL_TINYXML2_SOURCE}/tinyxml2.cpp)
  target_include_directories(tinyxml2_static SYSTEM PUBLIC ${QUORELL_TINYXML2_SOURCE})
  add_library(tinyxml2::tinyxml2 ALIAS tinyxml2_static)
endif()

# nlohmann's JSON headers hold no system code: the Debian package's serve.
if(NOT TARGET nlohmann_json::nlohmann_json AND EXISTS /usr/include/nlohmann/json.hpp)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/third-party)
  file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/third-party/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE
    ${CMAKE_BINARY_DIR}/third-party)
endif()

if(QUORELL_BUILD_TESTS)
  set(QUORELL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${QUORELL_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${QUORELL_GOOGLETEST_SOURCE}: "
      "install Debian's googletest package (scripts/setup.sh --windows)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUORELL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# The tests run in a Wine prefix of their own, made once per build folder, so
# that what they write into the registry never reaches the user's prefix.
if(QUORELL_BUILD_TESTS AND QUORELL_WINE64)
  set(QUORELL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
  if(NOT EXISTS ${QUORELL_WINE_PREFIX}/system.reg)
    message(STATUS "Preparing the tests' Wine prefix ${QUORELL_WINE_PREFIX}")
    execute_process(
      COMMAND env WINEPREFIX=${QUORELL_WINE_PREFIX} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
        ${QUORELL_WINE64} wineboot --init
      OUTPUT_QUIET ERROR_QUIET TIMEOUT 300)
    get_filename_component(quorell_wine_dir ${QUORELL_WINE64} DIRECTORY)
    execute_process(COMMAND env WINEPREFIX=${QUORELL_WINE_PREFIX} ${quorell_wine_dir}/wineserver -w
      OUTPUT_QUIET ERROR_QUIET TIMEOUT 120)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${QUORELL_WINE_PREFIX} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
    ${QUORELL_WINE64})
endif()
