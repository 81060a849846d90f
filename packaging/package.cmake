# The Debian package: `cpack -G DEB` in the build directory. Included from the top CMakeLists.txt,
# since CPack reads the variables of the directory that includes it.

# Who answers for the package; also signs the changelog entries.
set(IONVANE_MAINTAINER "Ionvane developers <maintainers@ionvane.invalid>"
    CACHE STRING "Maintainer of the Debian package, as Name <address>")

# Copyright stanzas of third-party items the package ships, appended to copyright in this order:
# the map outlines of the live window, built into ionvane.
set(IONVANE_COPYRIGHT_STANZAS copyright-natural-earth)

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/ionvane)
set(copyright ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright)
file(READ ${CMAKE_CURRENT_LIST_DIR}/copyright copyright_text)
foreach(stanza ${IONVANE_COPYRIGHT_STANZAS})
    file(READ ${CMAKE_CURRENT_LIST_DIR}/${stanza} stanza_text)
    string(APPEND copyright_text "\n${stanza_text}")
endforeach()
file(CONFIGURE OUTPUT ${copyright} CONTENT "${copyright_text}" @ONLY)
install(FILES ${copyright} DESTINATION ${doc_dir})

# changelog.gz, as Debian wants it for a native package; -n keeps the bytes the same build to
# build.
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in packaging/changelog @ONLY)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog)
add_custom_command(OUTPUT ${changelog}.gz
    COMMAND gzip -9 -n -f -k ${changelog}
    DEPENDS ${changelog}
    VERBATIM)
add_custom_target(ionvane_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/docs/getting-the-alarm.md DESTINATION ${doc_dir})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/ionvane-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ionvane-cli)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/ionvane.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ionvane)

set(CPACK_PACKAGE_NAME ionvane)
set(CPACK_PACKAGE_CONTACT "${IONVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [=[
Ionvane is a calculator for radio amateurs who chase long-distance VHF
contacts by sporadic-E (Es). From a DX spot, the Maidenhead locators of two
stations and the frequency, it works out the great-circle path, places the
Es cloud at the centre of the path and gives the cloud's critical frequency
and the MUF of the path; then, for the user's own station, the point to try
towards, the azimuth and elevation to beam on, and the frequency of traffic.

The package holds the window, ionvane, and ionvane-cli, the same calculation
for scripts and batch work, reading single spots or a whole DX-cluster
session.]=])
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window prefers Liberation Sans for its Arial metrics; without it the captions may not fit.
# Hamlib's utilities hold rotctld, which turns the antenna; the freedesktop sound theme gives the
# alarm's sound file chooser more to pick from (/usr/share/sounds/freedesktop).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, libhamlib-utils, sound-theme-freedesktop")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_IONVANE_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip.cmake)
include(CPack)
