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

# Every Windows program carries a manifest (DPI awareness, visual-styles controls, UTF-8 code page,
# supported Windows versions), the version of this project, the icon and a title: made here from
# platform/win32/resources with windres.
enable_language(RC)
set(LUMIVANE_ICON "" CACHE FILEPATH "The programs' icon, lumivane.ico, which the native asset builder draws")
if(NOT EXISTS "${LUMIVANE_ICON}")
  message(FATAL_ERROR "No icon at '${LUMIVANE_ICON}': build the native 'assets' target and pass its "
    "lumivane.ico as -DLUMIVANE_ICON=... (scripts/windows-build.sh does both)")
endif()
if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  set(LUMIVANE_MANIFEST_ARCH amd64)
else()
  set(LUMIVANE_MANIFEST_ARCH x86)
endif()
# The installer takes the same version (installer/lumivane.nsi includes this).
file(WRITE ${CMAKE_BINARY_DIR}/version.nsh "!define VERSION \"${PROJECT_VERSION}\"\n")
# add_windows_resources(TARGET TITLE DESCRIPTION): TITLE is string 1 (the name the Screen Saver
# Settings list shows for a .scr).
function(add_windows_resources target title description)
  set(RESOURCE_NAME ${target})
  set(RESOURCE_TITLE "${title}")
  set(RESOURCE_DESCRIPTION "${description}")
  set(RESOURCE_FILE ${target}.exe)
  set(RESOURCE_ARCH ${LUMIVANE_MANIFEST_ARCH})
  set(RESOURCE_ICON ${LUMIVANE_ICON})
  set(RESOURCE_VERSION_DOTS ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(RESOURCE_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(folder ${CMAKE_BINARY_DIR}/resources)
  set(RESOURCE_MANIFEST ${folder}/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/platform/win32/resources/program.manifest.in ${RESOURCE_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/platform/win32/resources/program.rc.in ${folder}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${folder}/${target}.rc)
  set_source_files_properties(${folder}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${RESOURCE_MANIFEST};${LUMIVANE_ICON}")
endfunction()
