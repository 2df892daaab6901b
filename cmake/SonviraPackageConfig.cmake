# Read by cpack: adds the Debian packages the run-time loaded audio library needs to the
# package's dependencies. SONVIRA_AUDIO_LIBRARY is the built library.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT SONVIRA_AUDIO_DEPENDS)
  set(work ${CPACK_TOPLEVEL_DIRECTORY}/audio_shlibdeps)
  # dpkg-shlibdeps wants to stand in a source tree: give it the least it reads.
  file(WRITE ${work}/debian/control "Source: sonvira\n\nPackage: sonvira\nArchitecture: any\n")
  execute_process(COMMAND dpkg-shlibdeps -O -e${SONVIRA_AUDIO_LIBRARY}
                  WORKING_DIRECTORY ${work} OUTPUT_VARIABLE shlibs ERROR_VARIABLE errors
                  RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed OR NOT shlibs MATCHES "^shlibs:Depends=")
    message(FATAL_ERROR "dpkg-shlibdeps on the audio library failed: ${errors}")
  endif()
  string(REGEX REPLACE "^shlibs:Depends=" "" shlibs "${shlibs}")
  string(REPLACE ", " ";" shlibs "${shlibs}")
  # The C and C++ runtimes come with the programs themselves.
  list(FILTER shlibs EXCLUDE REGEX "^(libc6|libgcc-s1|libstdc\\+\\+6)[ (]")
  list(JOIN shlibs ", " SONVIRA_AUDIO_DEPENDS)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${SONVIRA_AUDIO_DEPENDS}")
endif()
