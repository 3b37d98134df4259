# The Debian package: `cpack --preset package` (or `make package`) writes
# ordnix_<version>_amd64.deb into build-package/. The library dependencies
# come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ordnix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${ORDNIX_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION
    "Two to eight players, people or the computer, share one keyboard and take
turns on a hilly landscape. Each turn a player sets the angle and power of a
tank's gun, picks a weapon and fires; the shell flies under gravity and wind
and cuts a crater where it lands. Between rounds the players spend their
winnings on bigger weapons in a shop.")
set(CPACK_PACKAGE_CONTACT "${ORDNIX_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Time stamps from the source, not the clock: see cmake/sourcedate.cmake.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/sourcedate.cmake)
set(CPACK_ORDNIX_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_ORDNIX_RELEASE_DATE ${ORDNIX_RELEASE_DATE})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ORDNIX_HOMEPAGE}")
# The windows ask for a font that looks like the one the game was drawn
# with: Liberation 2, which Debian 12 ships as fonts-liberation2 and Debian 13
# as fonts-liberation. Sound needs a sound server, which any desktop has.
# Qt's Wayland plugin lets the game run natively in a Wayland session; without
# it Qt uses the session's X compatibility layer, which works as well. Only
# suggested: Debian 13's Qt recommends it already, and on Debian 12 installing
# it changes how every Qt 6 program starts in a Wayland session, which is not
# a game's choice to make.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation (>= 1:2) | fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pulseaudio | pipewire-pulse, qt6-wayland")

include(CPack)
