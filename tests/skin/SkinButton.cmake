# The bitmap skin button: painting checked pixel by pixel, images and masks, and its behaviour on
# a real dialog under Wine.
tabvisor_add_test(NAME skin_button_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SkinButtonTest.cpp
  LIBS skin tabvisor_resources program_test_support)
