# The off-screen DC, the page background recipe and the skinned slider.
tabvisor_add_test(NAME skin_slider_tests REAL_INPUT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OffscreenDCTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SkinSliderTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/GdiObjectCounterTest.cpp
  LIBS skin program_test_support tabvisor_resources)
target_include_directories(skin_slider_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
