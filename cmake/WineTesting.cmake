# Runs the Windows test executables through Wine, in a private prefix inside the build folder.
# scripts/build.sh points both architectures' trees at one prefix: a 64-bit prefix made with
# 32-bit Wine installed runs both.
set(TABVISOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Private Wine prefix for tests")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${TABVISOR_WINEPREFIX})

# The x86 tree's tests carry the architecture in their names, so a run of both trees tells them
# apart.
if(TABVISOR_ARCH STREQUAL "x86")
  set(TABVISOR_TEST_SUFFIX _x86)
else()
  set(TABVISOR_TEST_SUFFIX "")
endif()

# tabvisor_add_test(NAME name [REAL_INPUT] SOURCES ... [LIBS ...] [RESOURCES ...] [TIMEOUT s])
# One GoogleTest executable that ctest runs as one test under Wine. REAL_INPUT marks a suite that
# drives real keys or the pointer and reads the composed screen (label real_input): timing on a
# loaded machine can upset those, and only those get more tries (scripts/run-tests.sh).
function(tabvisor_add_test)
  cmake_parse_arguments(T "REAL_INPUT" "NAME;TIMEOUT" "SOURCES;LIBS;RESOURCES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES} ${T_RESOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main tabvisor_options)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${T_NAME}${TABVISOR_TEST_SUFFIX} COMMAND ${T_NAME} --gtest_color=no)
  set_tests_properties(${T_NAME}${TABVISOR_TEST_SUFFIX} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "WINEPREFIX=${TABVISOR_WINEPREFIX}")
  if(T_REAL_INPUT)
    set_tests_properties(${T_NAME}${TABVISOR_TEST_SUFFIX} PROPERTIES LABELS real_input)
  endif()
endfunction()
