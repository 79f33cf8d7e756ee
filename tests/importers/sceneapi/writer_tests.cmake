# The scene file writer, its number formatting and the object wrapper.
quorell_add_test(sceneapi_writer_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/NumberTextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WriterStatementsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WriterChunksTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WrapperTest.cpp
  LIBS sceneapi)
