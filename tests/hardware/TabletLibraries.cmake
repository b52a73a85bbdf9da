# The run-time binding of the maker's libraries.
tabvisor_add_test(NAME hardware_binding_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TabletLibrariesTest.cpp
  LIBS hardware)
add_dependencies(hardware_binding_tests winio pm common_lib)
