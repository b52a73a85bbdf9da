# Compiler settings shared by every target of the project: warnings, Unicode and Windows version.
add_library(tabvisor_options INTERFACE)
target_compile_options(tabvisor_options INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual
  -Wnull-dereference -Wformat=2 -Werror)
target_compile_definitions(tabvisor_options INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0700)

# Resource scripts are UTF-8.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# On x86 the tablet libraries export __stdcall functions under their plain names (from .def
# files); the linker maps each plain name to the decorated one.
if(TABVISOR_ARCH STREQUAL "x86")
  target_link_options(tabvisor_options INTERFACE -Wl,--enable-stdcall-fixup)
  # Floating point in SSE registers, as on x64: the x87 unit keeps extra precision in between, so
  # the volume scalar's conversions (single-precision products, truncation) would give other
  # positions than the x64 build. Every tablet this runs on has SSE2; the compiler realigns the
  # stack where the system calls back with 4-byte alignment.
  target_compile_options(tabvisor_options INTERFACE -msse2 -mfpmath=sse)
endif()
