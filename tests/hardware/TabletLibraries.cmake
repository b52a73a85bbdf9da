# The run-time binding of the maker's libraries (on x86 also against their __cdecl builds), and the
# slider pages' conversions of what those libraries give, which are pure and run once.
tabvisor_add_test(NAME hardware_binding_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TabletLibrariesTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SliderPositionsTest.cpp
  LIBS hardware program_test_support)
add_dependencies(hardware_binding_tests winio pm common_lib)
if(TABVISOR_ARCH STREQUAL "x86")
  add_dependencies(hardware_binding_tests winio_cdecl pm_cdecl common_lib_cdecl)
endif()
