# Scene nodes written through the wrapper into the real file writer.
quorell_add_test(scene_nodes_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SceneTextTest.cpp
  LIBS scene)
