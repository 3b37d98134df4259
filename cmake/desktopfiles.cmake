# The files a desktop needs besides the game: menu entry, AppStream
# metainfo, man page, and the Debian changelog, filled in with the version
# and compressed where Debian expects it. All are made at configure time.
set(DESKTOP_OUT ${CMAKE_BINARY_DIR}/desktop)
file(MAKE_DIRECTORY ${DESKTOP_OUT})

# RFC 2822 date of the release, for the Debian changelog.
execute_process(COMMAND date -u -R -d "${ORDNIX_RELEASE_DATE}" OUTPUT_VARIABLE ORDNIX_RELEASE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

configure_file(data/ordnix.desktop.in ${DESKTOP_OUT}/${ORDNIX_APP_ID}.desktop @ONLY)
configure_file(data/ordnix.metainfo.xml.in ${DESKTOP_OUT}/${ORDNIX_APP_ID}.metainfo.xml @ONLY)
configure_file(data/ordnix.6.in ${DESKTOP_OUT}/ordnix.6 @ONLY)
configure_file(data/changelog.in ${DESKTOP_OUT}/changelog @ONLY)

# gzip -n: no name and no time stamp inside, so the same input always gives
# the same bytes.
foreach(f ordnix.6 changelog)
  execute_process(COMMAND gzip -9 -n -c ${DESKTOP_OUT}/${f} OUTPUT_FILE ${DESKTOP_OUT}/${f}.gz
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
