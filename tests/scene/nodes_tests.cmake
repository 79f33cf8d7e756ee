# Scene nodes written through the wrapper into the real file writer.
quorell_add_test(scene_nodes_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GroupModuleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TriangleObjectTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MaterialCameraTest.cpp
  LIBS scene)
