# Run by CPack after it writes the zip. Its ZIP generator stores each file's
# modification, access and change times and its owner's uid and gid, as the
# staging folder had them; the change time cannot be set, so no touch beforehand
# helps. strip-nondeterminism rewrites those fields, sorts the entries and
# normalizes their permissions.
#
# The time is SOURCE_DATE_EPOCH when set, or else the commit's, so that Explorer
# shows when the release was made.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(epoch MATCHES "^[0-9]+$")
  set(timestamp --timestamp ${epoch})
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND strip-nondeterminism --type zip ${timestamp} ${package}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
