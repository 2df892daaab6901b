# Read by cpack: adds the Debian packages that the libraries the player carries and loads at
# run time need to the package's dependencies. SONVIRA_CARRIED_LIBRARIES lists the built
# libraries: the audio library and the window module.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT SONVIRA_CARRIED_DEPENDS)
  set(work ${CPACK_TOPLEVEL_DIRECTORY}/carried_shlibdeps)
  # dpkg-shlibdeps wants to stand in a source tree: give it the least it reads.
  file(WRITE ${work}/debian/control "Source: sonvira\n\nPackage: sonvira\nArchitecture: any\n")
  list(TRANSFORM SONVIRA_CARRIED_LIBRARIES PREPEND -e OUTPUT_VARIABLE carried)
  execute_process(COMMAND dpkg-shlibdeps -O ${carried}
                  WORKING_DIRECTORY ${work} OUTPUT_VARIABLE shlibs ERROR_VARIABLE errors
                  RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed OR NOT shlibs MATCHES "^shlibs:Depends=")
    message(FATAL_ERROR "dpkg-shlibdeps on the carried libraries failed: ${errors}")
  endif()
  string(REGEX REPLACE "^shlibs:Depends=" "" shlibs "${shlibs}")
  string(REPLACE ", " ";" shlibs "${shlibs}")
  # The C and C++ runtimes come with the programs themselves.
  list(FILTER shlibs EXCLUDE REGEX "^(libc6|libgcc-s1|libstdc\\+\\+6)[ (]")
  list(JOIN shlibs ", " SONVIRA_CARRIED_DEPENDS)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${SONVIRA_CARRIED_DEPENDS}")
endif()
