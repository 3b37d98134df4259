# Where an installed game goes, relative to the prefix. The game finds its
# sounds from its own folder through ../share/ordnix, so the executable's
# folder must lie directly below the prefix (bin, or games as Debian wants
# for the package) and the sounds go to share/ordnix: see findsound() in
# src/ui/pulsesound.cpp.
set(ORDNIX_BINDIR bin CACHE STRING "Folder of the executable below the prefix: bin or games")
if(ORDNIX_BINDIR MATCHES "/")
  message(FATAL_ERROR "ORDNIX_BINDIR must be one folder directly below the prefix")
endif()
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ordnix RUNTIME DESTINATION ${ORDNIX_BINDIR})
install(FILES ${SOUND_FILES} DESTINATION share/ordnix)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons)
install(FILES ${DESKTOP_OUT}/${ORDNIX_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${DESKTOP_OUT}/${ORDNIX_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${DESKTOP_OUT}/ordnix.6.gz DESTINATION share/man/man6)
install(FILES data/copyright DESTINATION share/doc/ordnix)
install(FILES ${DESKTOP_OUT}/changelog.gz DESTINATION share/doc/ordnix)
