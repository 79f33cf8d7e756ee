# Scene nodes: groups, module, triangle objects, materials, camera.
quorell_add_test(scene_nodes_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GroupModuleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TriangleObjectTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MaterialCameraTest.cpp
  LIBS scene)

# The same nodes through the real file writer: exact scene text.
quorell_add_test(scene_text_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SceneTextTest.cpp
  LIBS scene)
