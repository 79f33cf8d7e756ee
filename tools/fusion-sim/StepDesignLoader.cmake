# Included by CMakeLists.txt when QUORELL_WITH_STEP is on: the STEP design
# libraries and reader program, and the loader's registration in fusion-sim.
# fusion-sim links only the OpenCASCADE-free part and starts the reader.
add_subdirectory(step)
target_sources(fusionsim_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StepDesignLoader.cpp)
target_link_libraries(fusionsim_core PUBLIC stepdesign)
