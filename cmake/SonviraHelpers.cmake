# Shared build helpers: resource embedding, unit tests and fuzz targets.

# sonvira_embed_resource(<target> <file> [DEPENDS <targets>...])
# Gives <target> its one data resource ("CUSTOM" 101): the bytes of <file>, linked in
# with .incbin so that even a program-sized resource costs no compile time.
function(sonvira_embed_resource target file)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  set(asm ${CMAKE_CURRENT_BINARY_DIR}/${target}_resource.S)
  file(WRITE ${asm}.in
"    .section .rodata
    .balign 16
    .globl platform_resource_custom_101
platform_resource_custom_101:
    .incbin \"@RESOURCE_FILE@\"
    .globl platform_resource_custom_101_end
platform_resource_custom_101_end:
    .section .note.GNU-stack,\"\",@progbits
")
  set(RESOURCE_FILE ${file})
  configure_file(${asm}.in ${asm} @ONLY)
  set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${file})
  target_sources(${target} PRIVATE ${asm})
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
endfunction()

# sonvira_stripped_copy(<out-var> <target>): a custom command that copies the built
# <target> without debug information, so an embedded program stays small.
function(sonvira_stripped_copy out target)
  set(copy ${CMAKE_BINARY_DIR}/res/${target}.res)
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
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main ${ARG_LIBS})
  endif()
  target_compile_definitions(${name} PRIVATE
    SONVIRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SONVIRA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
  set(env QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ${ARG_ENV})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
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
