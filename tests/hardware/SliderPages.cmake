# The brightness and volume pages, their conversions, and both pages on screen.
tabvisor_add_test(NAME slider_page_tests REAL_INPUT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SliderPositionsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/BrightnessPageTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/VolumePageTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SliderPagesTest.cpp
  LIBS hardware program_test_support tabvisor_resources)
target_include_directories(slider_page_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
add_dependencies(slider_page_tests winio pm common_lib)
