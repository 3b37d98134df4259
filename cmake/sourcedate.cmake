# Read by cpack before it installs and packs (CPACK_PROJECT_CONFIG_FILE), so
# that two builds of one source give the same bytes.
#
# The folders cpack creates and the members of the .deb take their modes from
# the umask: only 022 gives Debian's modes, the same for everybody (under 077
# the installed game could not even read its own sounds).
execute_process(COMMAND sh -c umask OUTPUT_VARIABLE mask OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT mask STREQUAL "0022")
  message(FATAL_ERROR "The package needs umask 022, this is ${mask}: "
                      "make package (or ./play package) sets it, or run umask 022 first")
endif()

# Every time stamp in the .deb (the ar members, the files and folders in the
# tar archives, the compressed streams) is SOURCE_DATE_EPOCH, in this order:
#   1. SOURCE_DATE_EPOCH from the caller's environment, as it is;
#   2. the time of the last commit, when the source is a git checkout and git
#      is installed;
#   3. the release date in CMakeLists.txt (ORDNIX_RELEASE_DATE), 00:00 UTC,
#      for a source archive or a machine without git.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
set(epoch_from "the caller's SOURCE_DATE_EPOCH")

if(epoch STREQUAL "")
  # Only this source's own repository counts, not one it happens to lie in.
  # safe.directory: a checkout owned by another user (root building a user's
  # clone) still gives its commit time instead of silently falling back.
  file(REAL_PATH "${CPACK_ORDNIX_SOURCE_DIR}" source)
  set(git git -c "safe.directory=${source}" -C "${source}")
  execute_process(COMMAND ${git} rev-parse --show-toplevel RESULT_VARIABLE status
                  OUTPUT_VARIABLE toplevel OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(status EQUAL 0)
    file(REAL_PATH "${toplevel}" toplevel)
  endif()
  if(status EQUAL 0 AND toplevel STREQUAL source)
    execute_process(COMMAND ${git} log -1 --format=%ct RESULT_VARIABLE status
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    set(epoch_from "the last commit")
    if(NOT status EQUAL 0)
      set(epoch "")
    endif()
  endif()
endif()

if(epoch STREQUAL "")
  execute_process(COMMAND date -u -d "${CPACK_ORDNIX_RELEASE_DATE}" +%s OUTPUT_VARIABLE epoch
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(epoch_from "the release date ${CPACK_ORDNIX_RELEASE_DATE}")
endif()

if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be whole seconds since 1970, not \"${epoch}\"")
endif()
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
message(STATUS "Package time stamps: ${epoch}, from ${epoch_from}")
