# The device-switch protocol against the simulated EC, and the device switch page under Wine.
tabvisor_add_test(NAME switches_tests REAL_INPUT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EcProtocolTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SwitchPageTest.cpp
  LIBS hardware tabvisor_resources program_test_support)
add_dependencies(switches_tests winio pm common_lib)
