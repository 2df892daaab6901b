# The 32-bit Windows build, included by the top-level CMakeLists when cross-compiling with
# cmake/toolchain-i686-w64-mingw32.cmake (scripts/build_windows.sh). It builds what needs
# neither Qt nor SDL: the platform layer's Win32 backends, the album format, the command
# lines' words, the audio library (bass.dll), the playlist model and the player's core with the
# docking control TaskBar, the packager's core, with their tests, which ctest runs under wine
# (scripts/wine_run.sh).

# Windows 7 and later.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601)
# The C runtime's printf family, not Windows' own, so %lld and %zu work as everywhere else.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)

# Tests run under wine, in a prefix of this build's own.
if(CMAKE_HOST_UNIX AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine_run.sh ${CMAKE_BINARY_DIR}/wine)
endif()

add_subdirectory(platform)
add_subdirectory(album)
add_subdirectory(cli)
add_subdirectory(playlist)
add_subdirectory(ui/words)
add_subdirectory(ui/win32)

# libmpg123, cross-built as a static library from Debian's source of the version the Linux
# build links (scripts/build_mpg123_windows.sh), for the audio library's Windows build.
set(SONVIRA_MPG123_PREFIX ${CMAKE_BINARY_DIR}/mpg123 CACHE PATH "Where libmpg123 for Windows was installed")
if(EXISTS ${SONVIRA_MPG123_PREFIX}/lib/libmpg123.a)
  add_library(mpg123::libmpg123 STATIC IMPORTED GLOBAL)
  set_target_properties(mpg123::libmpg123 PROPERTIES
    IMPORTED_LOCATION ${SONVIRA_MPG123_PREFIX}/lib/libmpg123.a
    INTERFACE_INCLUDE_DIRECTORIES ${SONVIRA_MPG123_PREFIX}/include
    INTERFACE_LINK_LIBRARIES shlwapi)
else()
  message(WARNING "No libmpg123 for Windows in ${SONVIRA_MPG123_PREFIX}: run scripts/build_mpg123_windows.sh")
endif()

# The audio library as "bass.dll", with libmpg123 inside.
if(TARGET mpg123::libmpg123)
  add_subdirectory(audio)
else()
  add_library(bass_headers INTERFACE)
  target_include_directories(bass_headers INTERFACE ${CMAKE_SOURCE_DIR}/audio/include)
endif()

add_subdirectory(player)
add_subdirectory(packager)
include(SonviraWindowsRelease)

if(SONVIRA_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
