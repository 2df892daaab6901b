# The release for Windows users: sonvira-VERSION-win32.zip with the packager (pakrel.exe, and
# pakrel.com, which cmd.exe picks for "pakrel" and waits for), the player and the README. The
# programs go in without debug information; nothing else is needed to make or play an album.
if(NOT (TARGET pakrel AND TARGET pakrel_console AND TARGET sonvira_res))
  return()
endif()

set(release_name sonvira-${PROJECT_VERSION}-win32)
set(release_dir ${CMAKE_BINARY_DIR}/release/${release_name})
set(release_zip ${CMAKE_BINARY_DIR}/${release_name}.zip)
sonvira_stripped_copy(sonvira_exe sonvira)
add_custom_command(OUTPUT ${release_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${release_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${release_dir}
  COMMAND ${CMAKE_OBJCOPY} --strip-debug $<TARGET_FILE:pakrel> ${release_dir}/pakrel.exe
  COMMAND ${CMAKE_OBJCOPY} --strip-debug $<TARGET_FILE:pakrel_console> ${release_dir}/pakrel.com
  COMMAND ${CMAKE_COMMAND} -E copy ${sonvira_exe} ${release_dir}/sonvira.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md ${release_dir}/README.md
  COMMAND ${CMAKE_COMMAND} -E rm -f ${release_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/release
          ${CMAKE_COMMAND} -E tar cf ${release_zip} --format=zip ${release_name}
  DEPENDS pakrel pakrel_console sonvira_res ${sonvira_exe} ${CMAKE_SOURCE_DIR}/README.md
  COMMENT "Making ${release_name}.zip"
  VERBATIM)
add_custom_target(windows_release ALL DEPENDS ${release_zip})
