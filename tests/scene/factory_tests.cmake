# The .bip scene file factory.
quorell_add_test(scene_factory_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LightFileFactoryTest.cpp
  LIBS scene)
