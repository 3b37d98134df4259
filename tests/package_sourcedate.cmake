# Where the package's time stamps come from (cmake/sourcedate.cmake), case by
# case: each runs the script as cpack would, in a child cmake with its own
# umask and environment, and reads the time stamp it settles on.
#   cmake -DSCRIPT=cmake/sourcedate.cmake -DWORK=<scratch folder> -P package_sourcedate.cmake
set(release 2026-12-09)
set(release_epoch 1796774400) # 2026-12-09 00:00 UTC
set(commit_epoch 1700000000)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/archive)

# folder|umask|SOURCE_DATE_EPOCH ("-": unset)|the time stamp, or ERROR
set(cases
    "archive|0022|-|${release_epoch}" # a source archive: the release date
    "archive|0022|1234567890|1234567890" # the caller's value comes first
    "archive|0022|yesterday|ERROR" # not a time: refused, not guessed
    "archive|0002|-|ERROR" # another umask would change the modes
)

# A repository whose last commit has a known time, with a source archive (no
# repository of its own) unpacked inside it. Without git (a bare Debian)
# these cases cannot arise.
find_program(GIT git)
if(GIT)
  set(git ${GIT} -C ${WORK}/repo -c user.name=ordnix -c user.email=ordnix@example.org)
  file(MAKE_DIRECTORY ${WORK}/repo/archive)
  execute_process(COMMAND ${git} init -q COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "GIT_COMMITTER_DATE=${commit_epoch} +0000"
                          ${git} commit -q --allow-empty -m "a commit" COMMAND_ERROR_IS_FATAL ANY)
  list(APPEND cases
       "repo|0022|-|${commit_epoch}" # a checkout: its last commit
       "repo|0022|42|42"
       "repo/archive|0022|-|${release_epoch}" # not the commit of a repository around it
  )
endif()

set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 folder)
  list(GET fields 1 mask)
  list(GET fields 2 sde)
  list(GET fields 3 want)
  if(sde STREQUAL "-")
    set(env --unset=SOURCE_DATE_EPOCH)
  else()
    set(env SOURCE_DATE_EPOCH=${sde})
  endif()
  execute_process(
    COMMAND sh -c "umask ${mask} && exec \"$@\"" sh ${CMAKE_COMMAND} -E env ${env} ${CMAKE_COMMAND}
            -DCPACK_ORDNIX_SOURCE_DIR=${WORK}/${folder} -DCPACK_ORDNIX_RELEASE_DATE=${release} -P ${SCRIPT}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status EQUAL 0 AND out MATCHES "Package time stamps: ([0-9]+)")
    set(got ${CMAKE_MATCH_1})
  elseif(status EQUAL 0)
    set(got "no time stamp printed")
  else()
    set(got ERROR)
  endif()
  if(NOT got STREQUAL want)
    message(SEND_ERROR "${case}: got ${got}\n${out}${err}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
list(LENGTH cases count)
message(STATUS "${count} cases, ${failures} failed")
