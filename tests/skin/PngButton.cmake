# The owning resource image and the PNG image button. The pictures they draw are this test
# program's own resources, so the program's resource script is not linked in.
tabvisor_add_test(NAME png_button_tests REAL_INPUT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ResourceImageTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PngButtonTest.cpp
  LIBS skin program_test_support
  RESOURCES ${CMAKE_CURRENT_LIST_DIR}/PngButtonTest.rc)
target_include_directories(png_button_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
