# The brightness and volume pages, and both pages on screen (their conversions are tested with the
# binding, TabletLibraries.cmake, since they need no window).
tabvisor_add_test(NAME slider_page_tests REAL_INPUT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BrightnessPageTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/VolumePageTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SliderPagesTest.cpp
  LIBS hardware program_test_support tabvisor_resources)
target_include_directories(slider_page_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
add_dependencies(slider_page_tests winio pm common_lib)
