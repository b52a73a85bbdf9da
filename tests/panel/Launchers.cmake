# The launcher pages on the running panel. The recorder stands in for the programs they start;
# the tests install it at the programs' fixed paths in the private prefix.
add_executable(launch_recorder WIN32 ${CMAKE_CURRENT_LIST_DIR}/recorder/LaunchRecorder.cpp)
target_link_libraries(launch_recorder PRIVATE tabvisor_options)

tabvisor_add_test(NAME launcher_tests REAL_INPUT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LauncherPageTest.cpp
  LIBS panel tabvisor_resources program_test_support)
add_dependencies(launcher_tests launch_recorder winio pm common_lib)
