# Installing and the Debian package: `cmake --install build` puts the two programs, their
# desktop entries and icons under the prefix; `cpack --config build/CPackConfig.cmake` makes
# the .deb (see README, "Installing").
include(GNUInstallDirs)

install(TARGETS pakrel sonvira RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/pakrel.desktop ${CMAKE_SOURCE_DIR}/dist/sonvira.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(program pakrel sonvira)
  foreach(size 48 128)
    install(FILES ${CMAKE_SOURCE_DIR}/assets/${program}_icon_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${program}.png)
  endforeach()
endforeach()
# The packager's link label opens this README (share/doc/sonvira/README.md).
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sonvira)
set(CPACK_PACKAGE_VENDOR "Sonvira")
set(CPACK_PACKAGE_CONTACT "Sonvira developers <sonvira@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "albums of MP3 songs that play themselves")
set(CPACK_PACKAGE_DESCRIPTION
  "Pakrel packs up to ten MP3 songs and their LRC lyrics into one album image; Sonvira plays
an album image in a small skinned window with the lyrics in time with the music, and lists or
extracts its songs on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The programs' own libraries (Qt, the C++ runtime) are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows speak Chinese: without a CJK font their texts are empty boxes. The sound goes
# to PulseAudio or PipeWire when there is one, else through SDL straight to ALSA.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, qt6-translations-l10n, pulseaudio | pipewire-pulse")
# The audio library and the player's window are not in the package as files: they ride inside
# sonvira and are loaded at run time, so dpkg-shlibdeps never sees them.
# sonvira_package_config.cmake asks dpkg-shlibdeps about them when the package is made and
# adds what they need (libmpg123, libpulse, SDL2; Qt's Widgets and D-Bus).
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/sonvira_package_config.cmake CONTENT
"set(SONVIRA_CARRIED_LIBRARIES \"$<TARGET_FILE:bass>;$<TARGET_FILE:sonvira_window>\")
include(\"${CMAKE_SOURCE_DIR}/cmake/SonviraPackageConfig.cmake\")
")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/sonvira_package_config.cmake)
include(CPack)
