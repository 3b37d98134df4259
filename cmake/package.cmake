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
# with; sound needs a sound server, which any desktop has.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pulseaudio | pipewire-pulse")

include(CPack)
