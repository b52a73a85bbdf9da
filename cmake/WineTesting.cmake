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

# tabvisor_add_scaled_runs(NAME test FILTER gtest-filter DPIS dpi... [REAL_INPUT] [TIMEOUT s])
# Runs some of a test executable's tests again on displays of other scales, as test_dpiN: each in
# a Wine prefix of its own whose LogPixels is N (scripts/wine-prefix.sh makes it on first use), on
# an Xvfb of its own as many times larger than the usual 1280 x 800 as the scale is, so a tablet's
# proportions hold and a test may change that display's mode without touching anyone else's.
function(tabvisor_add_scaled_runs)
  cmake_parse_arguments(T "REAL_INPUT" "NAME;FILTER;TIMEOUT" "DPIS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  foreach(dpi ${T_DPIS})
    set(prefix ${TABVISOR_WINEPREFIX}-dpi${dpi})
    math(EXPR width "1280 * ${dpi} / 96")
    math(EXPR height "800 * ${dpi} / 96")
    set(name ${T_NAME}_dpi${dpi}${TABVISOR_TEST_SUFFIX})
    add_test(NAME ${name}
      COMMAND env -u DISPLAY WINEPREFIX=${prefix} TABVISOR_SCREEN=${width}x${height}x24
        ${CMAKE_SOURCE_DIR}/scripts/with-display.sh ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${prefix}
        $<TARGET_FILE:${T_NAME}> --gtest_color=no --gtest_filter=${T_FILTER})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_REAL_INPUT)
      set_tests_properties(${name} PROPERTIES LABELS real_input)
    endif()
  endforeach()
endfunction()
