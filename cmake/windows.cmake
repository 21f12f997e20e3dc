# Windows build (cmake/mingw-i686.cmake or cmake/mingw-x86_64.cmake): SDL 1.2, libpng and zlib
# come from the static mingw libraries that scripts/windows-deps.sh builds for that processor;
# OpenGL, GLU and the Win32 services from the toolchain's import libraries. Programs are linked
# statically, so they need only Windows' DLLs.
set(LUMIVANE_WINDOWS_DEPS ${CMAKE_SOURCE_DIR}/.cache/windows-deps/${CMAKE_SYSTEM_PROCESSOR} CACHE PATH
  "Prefix of the mingw builds of SDL 1.2, libpng and zlib")
if(NOT EXISTS ${LUMIVANE_WINDOWS_DEPS}/lib/libSDL.a)
  message(FATAL_ERROR "No Windows libraries in ${LUMIVANE_WINDOWS_DEPS}: run WINDOWS_ARCH=${CMAKE_SYSTEM_PROCESSOR} scripts/windows-deps.sh")
endif()

add_library(windows_platform INTERFACE)
# platform/win32/include holds the picture loader's SDL_image header.
target_include_directories(windows_platform INTERFACE
  ${CMAKE_SOURCE_DIR}/platform/win32/include ${LUMIVANE_WINDOWS_DEPS}/include)
target_link_libraries(windows_platform INTERFACE
  ${LUMIVANE_WINDOWS_DEPS}/lib/libSDL.a ${LUMIVANE_WINDOWS_DEPS}/lib/libpng16.a
  ${LUMIVANE_WINDOWS_DEPS}/lib/libz.a
  opengl32 glu32 user32 gdi32 winmm dxguid advapi32 shell32)
# C99 printf formats (%zu) through mingw's own stdio rather than the old msvcrt.
# gcc checks format(printf) attributes against msvcrt's formats there, so the format warnings are
# left to the native build, which checks the same code.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
# A 64-bit time_t (the CRT's _time64 family), so the clock and calendar keep working after 2038.
add_compile_definitions(__MINGW_USE_VC2005_COMPAT)
add_compile_options(-Wno-format)
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

# The offscreen context is EGL, which Windows lacks; nothing the Windows programs link needs it.
set(PLATFORM_SOURCE_GLOBS platform/*.cpp platform/win32/*.cpp)
set(PLATFORM_EXCLUDED_SOURCES ${CMAKE_SOURCE_DIR}/platform/offscreen_gl.cpp)
set(PLATFORM_LIBRARIES windows_platform)
set(PLATFORM_MAIN platform/win32/entry/win_main.cpp)
set(PLATFORM_TOOLS config pak)
