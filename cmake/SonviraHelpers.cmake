# Shared build helpers: resource embedding, unit tests and fuzz targets.

# sonvira_embed_resource(<target> <file> [ID <number>] [DEPENDS <targets>...])
# Gives <target> a data resource ("CUSTOM" <number>, 101 unless given): the bytes of <file>. On
# Linux they are linked in with .incbin, so that even a program-sized resource costs no compile
# time; on Windows they are a resource of the program compiled by windres, as Windows finds them.
function(sonvira_embed_resource target file)
  cmake_parse_arguments(ARG "" "ID" "DEPENDS" ${ARGN})
  if(NOT ARG_ID)
    set(ARG_ID 101)
  endif()
  set(RESOURCE_FILE ${file})
  set(RESOURCE_ID ${ARG_ID})
  if(WIN32)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resource_${ARG_ID}.rc)
    file(WRITE ${rc}.in "@RESOURCE_ID@ CUSTOM \"@RESOURCE_FILE@\"\n")
    configure_file(${rc}.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${file})
    target_sources(${target} PRIVATE ${rc})
  else()
    set(asm ${CMAKE_CURRENT_BINARY_DIR}/${target}_resource_${ARG_ID}.S)
    file(WRITE ${asm}.in
"    .section .rodata
    .balign 16
    .globl platform_resource_custom_@RESOURCE_ID@
platform_resource_custom_@RESOURCE_ID@:
    .incbin \"@RESOURCE_FILE@\"
    .globl platform_resource_custom_@RESOURCE_ID@_end
platform_resource_custom_@RESOURCE_ID@_end:
    .section .note.GNU-stack,\"\",@progbits
")
    configure_file(${asm}.in ${asm} @ONLY)
    set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${file})
    target_sources(${target} PRIVATE ${asm})
  endif()
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
endfunction()

# sonvira_stripped_copy(<out-var> <target>): a custom command that copies the built
# <target> without debug information, so an embedded program stays small. Each program that
# embeds it asks; the copy is made once, by the target <target>_res.
function(sonvira_stripped_copy out target)
  set(copy ${CMAKE_BINARY_DIR}/res/${target}.res)
  set(${out} ${copy} PARENT_SCOPE)
  if(TARGET ${target}_res)
    return()
  endif()
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/res
    COMMAND ${CMAKE_OBJCOPY} --strip-debug $<TARGET_FILE:${target}> ${copy}
    DEPENDS ${target}
    COMMENT "Stripping ${target} for embedding"
    VERBATIM)
  add_custom_target(${target}_res DEPENDS ${copy})
  set(${out} ${copy} PARENT_SCOPE)
endfunction()

# sonvira_add_test(<name> SOURCES ... LIBS ... [QT] [LABELS ...] [ENV ...] [LAUNCHER command...])
# One test executable per unit. QT tests get a QApplication main on the offscreen platform.
# LAUNCHER runs the test through a command (dbus-run-session -- for a private session bus).
function(sonvira_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS;LABELS;ENV;LAUNCHER" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE sonvira_qt_test_main ${ARG_LIBS})
  elseif(WIN32)
    target_link_libraries(${name} PRIVATE sonvira_windows_test_main ${ARG_LIBS})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main ${ARG_LIBS})
  endif()
  # A Windows build runs its tests under wine, which has the Linux root as drive Z:.
  set(drive "")
  if(WIN32 AND CMAKE_HOST_UNIX)
    set(drive "Z:")
  endif()
  target_compile_definitions(${name} PRIVATE
    SONVIRA_SOURCE_DIR="${drive}${CMAKE_SOURCE_DIR}" SONVIRA_BINARY_DIR="${drive}${CMAKE_BINARY_DIR}")
  if(ARG_LAUNCHER)
    add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
  else()
    # Named by its target, so that a cross build runs it through CMAKE_CROSSCOMPILING_EMULATOR.
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set(env QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ${ARG_ENV})
  # Under wine a program takes far longer to start: where its 32-bit side is emulated, a
  # minute of processor time, several on a busy machine; a run that hangs is tried again (test.sh).
  set(timeout 300)
  if(CMAKE_CROSSCOMPILING)
    set(timeout 600)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${timeout})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# sonvira_add_fuzzer(<name> SOURCES ... LIBS ...): a libFuzzer target; its seed corpus
# lives in fuzz/corpus/<name>.
function(sonvira_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
