# Included by CMakeLists.txt when QUORELL_WITH_STEP is on: the STEP loader
# library (OpenCASCADE) and its registration in fusion-sim.
add_subdirectory(step)
target_sources(fusionsim_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StepDesignLoader.cpp)
target_link_libraries(fusionsim_core PUBLIC steploader)
